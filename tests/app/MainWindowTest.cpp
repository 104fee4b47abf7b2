#include "MainWindowFixture.h"
#include "app/LDBDisplay.h"
#include "app/LDBEdit.h"
#include "app/LOVFileWindow.h"
#include "app/LOVWaveWindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>

namespace {
class MainWindowTest : public MainWindowFixture {
protected:
    void ChooseSavePath(const std::string& strPath)
    {
        script.Then([strPath](QDialog& d) {
            auto* pFiles = qobject_cast<QFileDialog*>(&d);
            EXPECT_NE(pFiles, nullptr);
            EXPECT_EQ(d.windowTitle(), "Save File As");
            EXPECT_EQ(pFiles->acceptMode(), QFileDialog::AcceptSave);
            pFiles->selectFile(QString::fromStdString(strPath));
            return int(QDialog::Accepted);
        });
    }
    void OpenThroughMenu(const std::string& strPath)
    {
        script.Then([strPath](QDialog& d) {
            auto* pFiles = qobject_cast<QFileDialog*>(&d);
            EXPECT_NE(pFiles, nullptr);
            EXPECT_EQ(d.windowTitle(), "Open Audio Files");
            EXPECT_EQ(pFiles->fileMode(), QFileDialog::ExistingFiles);
            EXPECT_TRUE(pFiles->nameFilters().front().startsWith("Audio Files ("));
            pFiles->selectFile(QString::fromStdString(strPath));
            return int(QDialog::Accepted);
        });
        w->Action(CM_FILEOPEN)->trigger();
    }
    QString Text(int iId) { return w->Action(iId)->text(); }
};

// h:mm:ss.mmm of a frame count, as the time fields show it.
QString TimeText(int32_t iFrames, int32_t iRate)
{
    const int64_t iMs = int64_t(iFrames) * 1000 / iRate;
    return QString::asprintf("%d:%02d:%02d.%03d", int(iMs / 3600000), int(iMs / 60000 % 60),
        int(iMs / 1000 % 60), int(iMs % 1000));
}

void SendMouse(QWidget& target, QEvent::Type type, int x, Qt::MouseButtons buttons)
{
    const QPointF pos(x, target.height() / 2);
    QMouseEvent e(type, pos, target.mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&target, &e);
}

} // namespace

// The menus, toolbar and keys as the window builds them from the command
// table (the rows themselves are checked in the engine's tests).
TEST_F(MainWindowTest, MenusCarryTheirTextsKeysAndHints)
{
    const std::tuple<int, const char*, QKeySequence> aExpect[] = {
        { CM_FILENEW, "&New File...\tCtrl+N", QKeySequence("Ctrl+N") },
        { CM_UNDO, "Undo \tCtrl+Z", QKeySequence("Ctrl+Z") },
        // F5 is a shortcut of the window: from the key the take plays afterwards.
        { CM_RECORD, "&Record\tF5", QKeySequence() },
        { CM_ZOOMIN, "Zoom In\tCtrl+Plus",
            QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus)) },
    };
    for (const auto& [iId, szText, key] : aExpect) {
        ASSERT_NE(w->Action(iId), nullptr) << iId;
        EXPECT_EQ(w->Action(iId)->text(), szText) << iId;
        EXPECT_EQ(w->Action(iId)->shortcut(), key) << iId;
    }
    for (int iId : { CM_AMPLIFY, CM_FILESAVEAS, CM_EQUALIZER })
        EXPECT_TRUE(w->Action(iId)->isVisible()) << iId;
    QList<QAction*> menus = w->menuBar()->actions();
    ASSERT_GE(menus.size(), 7);
    EXPECT_EQ(menus[5]->text(), "T&ools");
    EXPECT_TRUE(menus[5]->isVisible()) << "the bookmark and region commands";
    EXPECT_FALSE(w->Action(CM_GOTOBOOKMARK)->isVisible()) << "only while the list is open";
    EXPECT_EQ(menus[6]->text(), "&Window");
    EXPECT_TRUE(menus[6]->menu()->actions().contains(w->Action(CM_CASCADE)));
    // Insert Silence's items sit in their submenu.
    EXPECT_EQ(w->Action(CM_INSSILENCEBEGIN)->associatedObjects().size(), 1);

    w->Action(CM_TRIM)->hover();
    EXPECT_EQ(w->GetHintText(), "The selected region becomes the entire file.");
    ASSERT_NE(w->ToolbarAction(CM_DELETE), nullptr);
    EXPECT_EQ(w->ToolbarAction(CM_DELETE)->toolTip(), "Delete");
    EXPECT_FALSE(w->ToolbarAction(CM_DELETE)->icon().isNull());
    EXPECT_EQ(w->GetTransportButton(111)->toolTip(), "Play (F9)");
    EXPECT_EQ(w->windowTitle(), "Orvenna");

    // Without documents only the file commands work.
    EXPECT_TRUE(Enabled(CM_FILENEW) && Enabled(CM_FILEOPEN) && Enabled(CM_EXIT));
    for (int iId : { CM_FILECLOSE, CM_UNDO, CM_PLAY, CM_CLOSEALL, CM_AMPLIFY })
        EXPECT_FALSE(Enabled(iId)) << iId;
    EXPECT_FALSE(w->ToolbarAction(CM_FILESAVE)->isEnabled());
    EXPECT_FALSE(w->GetTransportButton(111)->isEnabled());
    EXPECT_TRUE(w->GetRateStatusText().isEmpty());
}

TEST_F(MainWindowTest, NewInsertSilenceAndUndoThroughTheMenu)
{
    LOVFile& doc = NewFile("8000", "Stereo (Dual)");
    EXPECT_EQ(w->GetSubWindow(doc)->windowTitle(), "Untitled 1");
    EXPECT_EQ(w->GetRateStatusText(), "Sample Rate: 8000   Stereo");
    EXPECT_FALSE(Enabled(CM_UNDO));
    EXPECT_FALSE(Enabled(CM_FILESAVE));

    InsertSilenceEnd("1500");
    EXPECT_TRUE(script.AllUsed());
    EXPECT_EQ(doc.GetLength(), 12000);
    EXPECT_EQ(Text(CM_UNDO), "Undo Insert Silence At The End\tCtrl+Z");
    EXPECT_TRUE(w->ToolbarAction(CM_UNDO)->isEnabled());
    EXPECT_TRUE(w->ToolbarAction(CM_FILESAVE)->isEnabled());
    EXPECT_EQ(w->GetField(130)->text(), "0:00:01.500");
    // No selection yet: the selection commands wait for one.
    EXPECT_FALSE(w->ToolbarAction(CM_CUT)->isEnabled());
    EXPECT_FALSE(Enabled(CM_PASTE));

    w->Action(CM_SELECTALL)->trigger();
    EXPECT_EQ(w->GetField(108)->text(), "0:00:01.500");
    EXPECT_TRUE(w->ToolbarAction(CM_DELETE)->isEnabled());
    w->Action(CM_COPY)->trigger();
    EXPECT_TRUE(w->ToolbarAction(CM_PASTE)->isEnabled());

    w->Action(CM_UNDO)->trigger();
    EXPECT_EQ(doc.GetLength(), 0);
    EXPECT_EQ(Text(CM_UNDO), "Undo \tCtrl+Z");
    EXPECT_FALSE(w->ToolbarAction(CM_UNDO)->isEnabled());
    // Undoing the only change leaves the new document clean again.
    EXPECT_FALSE(Enabled(CM_FILESAVE));
    EXPECT_EQ(w->GetField(130)->text(), "0:00:00.000");
}

// One dialog of each form: the labels are the effect table's own strings, and
// refusing values is checked in tests/effects/LEffectTableTest.cpp and
// tests/engine/MainDialogTest.cpp.
TEST_F(MainWindowTest, CommandDialogsShowTheirLabels)
{
    Silence("1000");
    w->Action(CM_SELECTALL)->trigger();
    const std::tuple<int, const char*, const char*> aExpect[] = {
        { CM_AMPLIFY, "Amplify", "Amplify Gain (%):" },
        { CM_CONVERTRATE, "Convert Sample Rate", "Sample Rate:" },
        { CM_ECHO, "Echo", "Echo Time (ms) :" },
    };
    for (const auto& [iId, szTitle, szLabel] : aExpect) {
        QStringList labels;
        QString strTitle;
        script.Then([&](QDialog& d) {
            strTitle = d.windowTitle();
            for (QLabel* p : d.findChildren<QLabel*>())
                labels << p->text();
            return int(QDialog::Rejected);
        });
        w->Action(iId)->trigger();
        EXPECT_EQ(strTitle, szTitle);
        EXPECT_TRUE(labels.contains(szLabel)) << szTitle << ": " << labels.join("|").toStdString();
    }
    // A refused value shows its message and the dialog again; Cancel then
    // leaves the document alone.
    script.seen.clear();
    script.Then(ModalScript::Fill({ { "ReverbTime", "1001" } }));
    script.Then(ModalScript::Answer(QMessageBox::Ok));
    script.Then([](QDialog&) { return int(QDialog::Rejected); });
    w->Action(CM_REVERB)->trigger();
    EXPECT_TRUE(script.AllUsed());
    ASSERT_EQ(script.seen.size(), 3u);
    EXPECT_EQ(script.seen[1].strTitle, "Invalid value");
    EXPECT_EQ(script.seen[1].strText, "Reverb time must be between 50 and 1000. Please try again.");
    EXPECT_EQ(script.seen[1].icon, QMessageBox::Information);
    EXPECT_EQ(Text(CM_UNDO), "Undo Insert Silence At The End\tCtrl+Z");
}

TEST_F(MainWindowTest, OpeningAWavMakesItsWindow)
{
    REQUIRE_PEER("sox");
    const std::string strPath = MakeWav("tone.wav", { "-r", "22050", "-c", "2" });
    OpenThroughMenu(strPath);
    EXPECT_TRUE(script.AllUsed());
    ASSERT_EQ(w->GetController().GetNoFiles(), 1);
    LOVFile& doc = *w->GetController().GetCurrentFile();
    EXPECT_EQ(doc.GetLength(), 22050);
    ASSERT_EQ(w->GetMdiArea().subWindowList().size(), 1);
    EXPECT_EQ(w->GetMdiArea().subWindowList().front()->windowTitle(), "tone.wav");
    EXPECT_EQ(w->GetField(130)->text(), "0:00:01.000");
    EXPECT_EQ(w->GetRateStatusText(), "Sample Rate: 22050   Stereo");
    ASSERT_NE(w->GetFileWindow(doc), nullptr);
    EXPECT_TRUE(w->GetFileWindow(doc)->GetButton(89)->isEnabled());
    EXPECT_EQ(w->GetFileWindow(doc)->GetScrollBar().maximum(), 200);
    // One document: no window buttons.
    EXPECT_TRUE(w->GetWindowButtonRow().isHidden());

    // A second document shows both buttons, the current one checked.
    const std::string strOther = MakeWav("other.wav", { "-r", "8000", "-c", "1" });
    OpenThroughMenu(strOther);
    ASSERT_EQ(w->GetController().GetNoFiles(), 2);
    EXPECT_FALSE(w->GetWindowButtonRow().isHidden());
    auto* pFirst = w->GetWindowButtonRow().findChild<QAbstractButton*>("134");
    auto* pSecond = w->GetWindowButtonRow().findChild<QAbstractButton*>("135");
    ASSERT_TRUE(pFirst && pSecond);
    EXPECT_EQ(pFirst->text(), "tone");
    EXPECT_EQ(pSecond->toolTip(), QString::fromStdString(strOther));
    EXPECT_TRUE(pSecond->isChecked());
    EXPECT_EQ(w->GetRateStatusText(), "Sample Rate: 8000   Mono");
    // The Window menu lists both, the current one checked.
    emit w->GetMenu().WindowMenu()->aboutToShow();
    QList<QAction*> items = w->GetMenu().WindowMenu()->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_EQ(items[items.size() - 2]->text(), "&1 tone.wav");
    EXPECT_EQ(items.back()->text(), "&2 other.wav");
    EXPECT_TRUE(items.back()->isChecked());
    // Its button makes the first one current again.
    pFirst->click();
    EXPECT_EQ(w->GetController().GetCurrentFile(), &doc);
    EXPECT_EQ(w->GetMdiArea().activeSubWindow(), w->GetSubWindow(doc));
    EXPECT_EQ(w->GetRateStatusText(), "Sample Rate: 22050   Stereo");
}

TEST_F(MainWindowTest, ScrollBarStepMovesThePosition)
{
    LOVFile& doc = Silence("10000");
    LOVFileWindow* pWindow = w->GetFileWindow(doc);
    pWindow->GetScrollBar().triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(doc.sPosition, 16000);
    EXPECT_EQ(w->GetField(109)->text(), "0:00:02.000");
    EXPECT_EQ(pWindow->GetScrollBar().value(), 16000 * 201 / 80000);
}

TEST_F(MainWindowTest, CancelInTheCloseQuestionKeepsTheDocument)
{
    Silence("500");
    LOVFile* pDoc = w->GetController().GetCurrentFile();
    // The question and Close's answers are the engine's (MainDialogTest); the
    // child window's close box asks it too.
    script.Then(ModalScript::Answer(QMessageBox::Cancel));
    w->GetSubWindow(*pDoc)->close();
    QCoreApplication::processEvents();
    ASSERT_EQ(script.seen.size(), 3u);
    EXPECT_EQ(script.seen[2].strText, "Save changes to \"Untitled 1\"?");
    EXPECT_EQ(script.seen[2].icon, QMessageBox::Question);
    EXPECT_EQ(w->GetMdiArea().subWindowList().size(), 1);

    // So does closing the program; Cancel keeps it running.
    w->show();
    script.Then(ModalScript::Answer(QMessageBox::Cancel));
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());

    // No closes it without saving.
    script.Then(ModalScript::Answer(QMessageBox::No));
    w->GetSubWindow(*pDoc)->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(script.AllUsed());
    EXPECT_EQ(w->GetController().GetNoFiles(), 0);
    EXPECT_TRUE(w->GetMdiArea().subWindowList().isEmpty());
    EXPECT_FALSE(Enabled(CM_FILECLOSE));
    EXPECT_TRUE(w->GetField(130)->text().isEmpty());
}

// Plain PCM is saved in SaveAsOverAnExistingFileAsksToReplaceIt; here a
// compressed WAV chosen by its attributes, and MP3 with its encoder settings.
TEST_F(MainWindowTest, SaveAsAsksTheFormatOrEncoderAndWritesFilesPeersRead)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("lame");
    REQUIRE_PEER("ffprobe");
    NewFile("11025", "Stereo (Dual)");
    InsertSilenceEnd("2000");
    LOVFile& doc = *w->GetController().GetCurrentFile();
    const std::string strPath = dir.File("ima.wav");
    ChooseSavePath(strPath);
    script.Then([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Select Wave File Format");
        auto* pTags = d.findChild<QComboBox*>("Format");
        auto* pAttributes = d.findChild<QComboBox*>("Attributes");
        EXPECT_TRUE(pTags && pAttributes);
        pTags->setCurrentText("IMA ADPCM");
        // Only the document's channel count is offered.
        for (int i = 0; i < pAttributes->count(); ++i) {
            EXPECT_TRUE(pAttributes->itemText(i).contains("Stereo"))
                << pAttributes->itemText(i).toStdString();
            if (pAttributes->itemText(i).startsWith("11.025 kHz"))
                pAttributes->setCurrentIndex(i);
        }
        EXPECT_TRUE(pAttributes->currentText().startsWith("11.025 kHz"));
        return int(QDialog::Accepted);
    });
    w->Action(CM_FILESAVEAS)->trigger();
    EXPECT_TRUE(script.AllUsed());
    EXPECT_EQ(doc.szFilePath, strPath);
    EXPECT_EQ(w->GetSubWindow(doc)->windowTitle(), "ima.wav");
    EXPECT_FALSE(Enabled(CM_FILESAVE));
    std::string strOut;
    ASSERT_EQ(TestSupport::Run({ "soxi", strPath }, &strOut), 0) << strOut;
    for (const char* sz :
        { "Sample Rate    : 11025", "Channels       : 2", "IMA ADPCM", "00:00:02.0" })
        EXPECT_NE(strOut.find(sz), std::string::npos) << strOut;

    const std::string strMp3 = dir.File("take.mp3");
    ChooseSavePath(strMp3);
    script.Then([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "MP3 Encoder Settings");
        QRadioButton* pCbr = nullptr;
        for (QRadioButton* p : d.findChildren<QRadioButton*>())
            if (p->text() == "Constant Bitrate (CBR)")
                pCbr = p;
        auto* pRate = d.findChild<QComboBox*>("103");
        auto* pMinimum = d.findChild<QComboBox*>("106");
        EXPECT_TRUE(pCbr && pRate && pMinimum);
        // The bit rate can be set only with CBR.
        EXPECT_EQ(pRate->isEnabled(), pCbr->isChecked());
        pCbr->setChecked(true);
        EXPECT_TRUE(pRate->isEnabled());
        EXPECT_FALSE(pMinimum->isEnabled());
        pRate->setCurrentText("64");
        return int(QDialog::Accepted);
    });
    w->Action(CM_FILESAVEAS)->trigger();
    EXPECT_TRUE(script.AllUsed());
    EXPECT_EQ(LSettings::Get().GetInt("MP3Encoder", "CBRBitRate", 0), 64);
    std::string strProbe;
    ASSERT_EQ(TestSupport::Run({ "ffprobe", "-hide_banner", strMp3 }, &strProbe), 0) << strProbe;
    EXPECT_NE(strProbe.find("mp3"), std::string::npos) << strProbe;
    EXPECT_NE(strProbe.find("64 kb/s"), std::string::npos) << strProbe;
    EXPECT_EQ(w->GetSubWindow(doc)->windowTitle(), "take.mp3");
}

TEST_F(MainWindowTest, ContextMenuOverAWaveformOffersTheEditCommands)
{
    w->show();
    NewFile();
    NewFile();
    LOVFile* pFirst = w->GetController().GetFiles().front().get();
    LOVFileWindow* pWindow = w->GetFileWindow(*pFirst);
    QStringList texts;
    bool bUndoEnabled = true;
    QTimer::singleShot(0, [&]() {
        QWidget* pPopup = QApplication::activePopupWidget();
        ASSERT_NE(pPopup, nullptr);
        for (QAction* p : pPopup->actions()) {
            if (p->isVisible())
                texts << p->text();
            if (p == w->Action(CM_UNDO))
                bUndoEnabled = p->isEnabled();
        }
        pPopup->close();
    });
    QWidget& view = pWindow->GetZoomed();
    QContextMenuEvent event(
        QContextMenuEvent::Mouse, QPoint(10, 10), view.mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(&view, &event);
    // The window under the pointer became current first.
    EXPECT_EQ(w->GetController().GetCurrentFile(), pFirst);
    for (const char* sz :
        { "Undo \tCtrl+Z", "Paste Mix...", "Insert Silence...", "Effec&ts", "Add Region\tCtrl+R" })
        EXPECT_TRUE(texts.contains(sz)) << sz << " in " << texts.join("|").toStdString();
    EXPECT_FALSE(bUndoEnabled);
}

TEST_F(MainWindowTest, InternetResourcesOpenTheirPagesInTheBrowser)
{
    QStringList opened;
    auto fnSaved = LMDIMainWindow::fnOpenWebPage;
    LMDIMainWindow::fnOpenWebPage
        = [&opened](const QString& strUrl) { return opened << strUrl, true; };
    QAction* pHome = w->Action(CM_HOMEPAGE);
    ASSERT_NE(pHome, nullptr);
    EXPECT_TRUE(pHome->isEnabled()) << "no document needed";
    pHome->trigger();
    w->Action(CM_SUPPORTPAGE)->trigger();
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(opened[0].startsWith("https://"));
    EXPECT_NE(opened[0], opened[1]);
    // A browser that cannot be started is reported.
    LMDIMainWindow::fnOpenWebPage = [](const QString&) { return false; };
    script.Then(ModalScript::Answer(QMessageBox::Ok));
    pHome->trigger();
    EXPECT_TRUE(script.AllUsed());
    LMDIMainWindow::fnOpenWebPage = fnSaved;
}

// The mouse and keys reach the document; the samples a cut or paste leaves are
// checked in tests/engine/MainDialogTest.cpp.
TEST_F(MainWindowTest, DragCutUndoAndPasteIntoASecondDocument)
{
    REQUIRE_PEER("sox");
    const std::string strFirst = MakeWav("first.wav", { "-r", "8000", "-c", "1" });
    const std::string strSecond = MakeWav("second.wav", { "-r", "8000", "-c", "1" });
    w->showNormal();
    w->resize(1000, 700);
    Activate();
    w->OpenCommandLine({ QString::fromStdString(strFirst) });
    ASSERT_EQ(w->GetController().GetNoFiles(), 1);
    LOVFile& first = *w->GetController().GetCurrentFile();
    Activate(); // the load's progress dialog had it
    LOVWaveWindow& zoomed = w->GetFileWindow(first)->GetZoomed();
    QTRY_COMPARE_WITH_TIMEOUT(zoomed.GetViewLength(), 8000, 3000);

    // Drag from a quarter to a half of the zoomed view.
    const int x0 = zoomed.FrameToPixel(2000) + 1, x1 = zoomed.FrameToPixel(4000) + 1;
    SendMouse(zoomed, QEvent::MouseButtonPress, x0, Qt::LeftButton);
    SendMouse(zoomed, QEvent::MouseMove, (x0 + x1) / 2, Qt::LeftButton);
    SendMouse(zoomed, QEvent::MouseMove, x1, Qt::LeftButton);
    SendMouse(zoomed, QEvent::MouseButtonRelease, x1, Qt::NoButton);
    const int32_t iStart = first.sSelStart, iEnd = first.sSelEnd;
    EXPECT_EQ(iStart, zoomed.PixelToFrame(x0 - 1));
    EXPECT_EQ(iEnd, zoomed.PixelToFrame(x1 - 1));
    EXPECT_NEAR(iStart, 2000, 8000 / zoomed.width() + 1);
    EXPECT_NEAR(iEnd, 4000, 8000 / zoomed.width() + 1);
    EXPECT_EQ(first.sPosition, iEnd); // the cursor is where the button was released
    EXPECT_EQ(w->GetField(109)->text(), TimeText(iEnd, 8000));
    EXPECT_EQ(w->GetField(106)->text(), TimeText(iStart, 8000));
    EXPECT_EQ(w->GetField(108)->text(), TimeText(iEnd - iStart, 8000));

    // Ctrl+X takes the selection out, Ctrl+Z puts it back.
    QTest::keyClick(w.get(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(first.GetLength(), 8000 - (iEnd - iStart));
    EXPECT_EQ(w->GetField(130)->text(), TimeText(first.GetLength(), 8000));
    EXPECT_EQ(Text(CM_UNDO).toStdString(), "Undo Cut\tCtrl+Z");
    QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(first.GetLength(), 8000);

    // Into a second document, at its end.
    w->OpenCommandLine({ QString::fromStdString(strSecond) });
    ASSERT_EQ(w->GetController().GetNoFiles(), 2);
    LOVFile& second = *w->GetController().GetCurrentFile();
    Activate();
    QTest::keyClick(w.get(), Qt::Key_End);
    EXPECT_EQ(second.sPosition, 8000);
    QTest::keyClick(w.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(second.GetLength(), 8000 + (iEnd - iStart));
    EXPECT_EQ(w->GetField(130)->text(), TimeText(second.GetLength(), 8000));
}

TEST_F(MainWindowTest, LayoutFollowsTheClientSizeAndCloseAllEmptiesIt)
{
    NewFile();
    NewFile("11025");
    w->showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    for (const QSize size : { QSize(1000, 700), QSize(640, 480) }) {
        w->resize(size);
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), size, 3000);
        QApplication::processEvents();
        const int iW = w->centralWidget()->width(), iH = w->centralWidget()->height();
        SCOPED_TRACE(testing::Message() << "client " << iW << "x" << iH);
        // Transport buttons in one row of 52 along the bottom, in their order.
        const int aOrder[] = { 111, 118, 112, 113, 114, 115, 116, 117 };
        QRect last;
        for (int iId : aOrder) {
            const QRect r = w->GetTransportButton(iId)->geometry();
            EXPECT_EQ(r, QRect(last.isNull() ? 1 : last.right() + 2, iH - 52, int(iW * 0.088), 52))
                << iId;
            last = r;
        }
        // The four time fields share the buttons' width just above them.
        const int iFieldTop = iH - 52 - w->fontMetrics().height() - 2;
        EXPECT_EQ(w->GetField(106)->geometry().top(), iFieldTop);
        EXPECT_NEAR(w->GetField(130)->geometry().right(), last.right(), 4);
        // The current time, volume and meter right of the buttons, one under the other.
        const QRect time = w->GetField(109)->geometry();
        EXPECT_EQ(time, QRect(last.right() + 2, time.top(), iW - last.right() - 3, time.height()));
        EXPECT_EQ(w->GetVolume().geometry().top(), time.bottom() + 2);
        EXPECT_GT(w->GetMeter().geometry().top(), w->GetVolume().geometry().bottom());
        // Separator, window buttons above it, the MDI client above all.
        const QRect row = w->GetWindowButtonRow().geometry();
        EXPECT_LT(w->GetSeparator().geometry().bottom(), iFieldTop);
        EXPECT_EQ(row.height(), 28);
        EXPECT_EQ(row.bottom() + 1, w->GetSeparator().geometry().top());
        for (QAbstractButton* pButton : w->GetWindowButtonRow().findChildren<QAbstractButton*>())
            EXPECT_EQ(pButton->width(), std::min(iW / 2, 110));
        EXPECT_EQ(w->GetMdiArea().geometry(), QRect(0, 0, iW, row.top() - 1));
    }
    EXPECT_EQ(w->GetSubWindow(*w->GetController().GetCurrentFile())->windowTitle(), "Untitled 2");
    w->Action(CM_CLOSEALL)->trigger();
    EXPECT_TRUE(script.AllUsed());
    EXPECT_TRUE(w->GetMdiArea().subWindowList().isEmpty());
    EXPECT_TRUE(w->GetWindowButtonRow().isHidden());
    EXPECT_FALSE(Enabled(CM_CLOSEALL));
}

// No to the question is the engine's (tests/engine/MainDialogTest.cpp).
TEST_F(MainWindowTest, SaveAsOverAnExistingFileAsksToReplaceIt)
{
    REQUIRE_PEER("sox");
    const std::string strTaken = MakeWav("taken.wav", { "-r", "8000", "-c", "1" });
    const std::vector<uint8_t> before = TestSupport::ReadAll(strTaken);
    ASSERT_FALSE(before.empty());
    LOVFile& doc = Silence("3000");
    const size_t nSeen = script.seen.size();

    // Cancel: nothing written.
    ChooseSavePath(strTaken);
    script.Then(ModalScript::Answer(QMessageBox::Cancel));
    w->Action(CM_FILESAVEAS)->trigger();
    EXPECT_TRUE(script.AllUsed());
    ASSERT_EQ(script.seen.size(), nSeen + 2);
    EXPECT_EQ(script.seen[nSeen + 1].strText,
        "Another file with the same name already exists. Do you want to replace it?");
    EXPECT_EQ(script.seen[nSeen + 1].icon, QMessageBox::Warning);
    EXPECT_EQ(TestSupport::ReadAll(strTaken), before);
    EXPECT_TRUE(doc.bDirty);

    // Yes: the format, then the file is replaced.
    ChooseSavePath(strTaken);
    script.Then(ModalScript::Answer(QMessageBox::Yes));
    script.Then([](QDialog& d) {
        if (auto* pTags = d.findChild<QComboBox*>("Format"))
            pTags->setCurrentText("PCM"); // the last choice is offered first: make it plain PCM
        return int(QDialog::Accepted);
    });
    w->Action(CM_FILESAVEAS)->trigger();
    EXPECT_TRUE(script.AllUsed());
    EXPECT_EQ(doc.szFilePath, strTaken);
    EXPECT_FALSE(doc.bDirty);
    std::string strOut;
    ASSERT_EQ(TestSupport::Run({ "soxi", "-D", strTaken }, &strOut), 0) << strOut;
    EXPECT_NEAR(std::stod(strOut), 3.0, 0.001);
}

TEST_F(MainWindowTest, FilesDroppedOnTheWindowOpen)
{
    REQUIRE_PEER("sox");
    const std::string strA = MakeWav("a.wav", { "-r", "8000", "-c", "1" });
    const std::string strB = MakeWav("b.wav", { "-r", "11025", "-c", "2" });
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(QString::fromStdString(strA)),
        QUrl::fromLocalFile(QString::fromStdString(strB)),
        QUrl::fromLocalFile(QString::fromStdString(dir.File("missing.wav"))),
        QUrl("https://example.org/c.wav") });
    const QPoint at = w->GetMdiArea().geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(w.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QApplication::sendEvent(w.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    // Only the existing local files, once the drop has returned.
    QTRY_COMPARE_WITH_TIMEOUT(w->GetController().GetNoFiles(), 2, 5000);
    EXPECT_EQ(w->GetController().GetCurrentFile()->szFilePath, strB);
    EXPECT_EQ(w->GetRateStatusText(), "Sample Rate: 11025   Stereo");

    // Nothing usable: the drag is refused.
    QMimeData text;
    text.setText("not a file");
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(w.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}
