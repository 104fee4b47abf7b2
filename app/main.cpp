#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvenna");
    QLabel label("Orvenna");
    label.show();
    return app.exec();
}
