// Writes what the desktop needs to know of the editor, at build time: the
// .desktop file with the MIME types of every file type the format table
// reads, and the program icon at the sizes of the hicolor theme.
#include "app/LGeneralPage.h"
#include "app/LOVIcons.h"
#include "engine/LFileFormats.h"
#include "services/LOutsideDecoders.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace {
// The editor's own files, described by the shared-MIME XML installed beside.
const char* const kOwnTypes[] = { "application/x-orvenna-project" };

QStringList MimeTypes()
{
    QStringList types;
    for (const LFileFormat& f : LFileFormats::All())
        for (const char* szExt : f.aExt) {
            const QString strType = szExt ? LGeneralPage::MimeTypeOf(szExt + 1) : QString();
            if (!strType.isEmpty() && !types.contains(strType))
                types.append(strType);
        }
    for (const char* sz : kOwnTypes)
        types.append(sz);
    return types;
}
} // namespace

// MakeDesktopData TEMPLATE OUTDIR
int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TEMPLATE OUTDIR\n", argv[0]);
        return 2;
    }
    QFile in(argv[1]);
    if (!in.open(QIODevice::ReadOnly))
        return 2;
    RegisterOutsideFormats();
    QString strText = QString::fromUtf8(in.readAll());
    strText.replace("@MIME_TYPES@", MimeTypes().join(';') + ';');
    const QString strOut = argv[2];
    QFile out(strOut + "/com.corvatch.Orvenna.desktop");
    if (!out.open(QIODevice::WriteOnly) || out.write(strText.toUtf8()) < 0)
        return 2;
    for (int iSize : { 16, 24, 32, 48, 64, 128, 256 }) {
        const QString strDir = QString("%1/icons/hicolor/%2x%2/apps").arg(strOut).arg(iSize);
        if (!QDir().mkpath(strDir)
            || !LOVIcons::Image(LOVIcons::Program, iSize)
                    .save(strDir + "/com.corvatch.Orvenna.png"))
            return 2;
    }
    return 0;
}
