#include "services/LOutsideDecoders.h"

#include "engine/LFileFormats.h"
#include "platform/LChildProcess.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace {
// What differs between the three types.
struct LDecoderKind {
    const char* szComponent;
    const char* szProgress;
    const char* szMissing; // the converter cannot be started
    const char* szRefused; // it failed on the file; null: the loader says so
};

const LDecoderKind kWma = { "wmacmp", "Decoding Windows Media Audio",
    "The wma decoder component has not yet been installed on this computer. You can download "
    "the component (wmacmp) free from your distribution's package manager (package \"ffmpeg\").",
    nullptr };
const LDecoderKind kDss = { "dsscmp", "Decoding DSS File",
    "The dss decoder component has not yet been installed on the computer. You can download and "
    "install the dss decoder component (dsscmp) free from your distribution's package manager "
    "(package \"ffmpeg\").",
    "Unable to open DSS file.\nThis means the file might not be a true DSS file or the file is "
    "corrupt." };
const LDecoderKind kReal = { "racmp", "Decoding Real Audio",
    "Unable to load Real Audio Core DLL.\n\nThis software required that the Real Audio Player be "
    "installed on your computer to load these files. Please download and install an uptodate "
    "version of Real Player.",
    "Unable to open file with Real Player.\n\nThis might mean you do not have the codec "
    "installed.\n\nTo resolve this, attempt to load the file using Real Player manually." };

const char* const kHelper = "wmatowav";
// The exit code of a program that could not start the one it runs.
constexpr int kNotFound = 127;

int Fail(LProgressDialog& dlg, LDecodeRequest& d, const char* szText)
{
    LFile::Delete(d.strWav);
    if (szText) {
        d.strError = szText;
        dlg.ShowError(d.strError);
    }
    return 2;
}

// Waits for the converter with a progress that nears the end; true when it
// ended, false on Cancel.
bool WaitForConverter(LProgressDialog& dlg, LChildProcess& child)
{
    double r = 0.97;
    for (;;) {
        if (dlg.CheckCancel())
            return false;
        dlg.SetProgress(1 - r);
        r *= 0.99;
        for (int i = 0; i < 25; ++i) {
            if (child.HasEnded())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

int Decode(LProgressDialog& dlg, LDecodeRequest& d, const LDecoderKind& kind)
{
    dlg.SetText(kind.szProgress, 0);
    dlg.SetText(d.strInput, 1);
    dlg.SetProgress(0);
    LFile::Delete(d.strWav);
    const std::string strConverter = FindOutsideDecoder(kind.szComponent);
    std::error_code ec;
    std::string strInput = std::filesystem::absolute(d.strInput, ec).string();
    d.args = { strConverter, ec ? d.strInput : strInput, d.strWav };
    LChildProcess child;
    if (strConverter.empty() || !child.Start(d.args))
        return Fail(dlg, d, kind.szMissing);
    if (!WaitForConverter(dlg, child)) {
        child.Kill();
        LFile::Delete(d.strWav);
        return 1;
    }
    if (child.GetExitCode() == kNotFound)
        return Fail(dlg, d, kind.szMissing); // the helper did not find ffmpeg
    if (child.GetExitCode() != 0)
        return Fail(dlg, d, kind.szRefused);
    return 0;
}

std::string ProgramFolder()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

template <class X>
int DecodeRow(LProgressDialog& dlg, const std::string& strIn, const std::string& strWav)
{
    X data { { strIn, strWav } };
    return ProcessBody(dlg, data);
}
} // namespace

std::string FindOutsideDecoder(const std::string& strComponent)
{
    std::string strPath = LSettings::Get().GetString("Components\\" + strComponent, "Path");
    if (!strPath.empty())
        return LChildProcess::FindOnPath(strPath);
    // Beside the running program, as installed, else on PATH.
    std::string strBeside = ProgramFolder();
    if (!strBeside.empty()) {
        LFile::FilePathCat(strBeside, kHelper);
        if (!LChildProcess::FindOnPath(strBeside).empty())
            return strBeside;
    }
    return LChildProcess::FindOnPath(kHelper);
}

int ProcessBody(LProgressDialog& dlg, LWMADecode& data)
{
    return Decode(dlg, data, kWma);
}

int ProcessBody(LProgressDialog& dlg, LDSSDecode& data)
{
    return Decode(dlg, data, kDss);
}

int ProcessBody(LProgressDialog& dlg, LReadAudioDecode& data)
{
    return Decode(dlg, data, kReal);
}

void RegisterOutsideFormats()
{
    using S = LFormatSettings;
    LFileFormats::Register({
        { "wma", { ".wma" }, "Windows Media Audio Files(*.wma)", S::None, false, nullptr, nullptr,
            DecodeRow<LWMADecode> },
        { "dss", { ".dss" }, "DSS Files(*.dss)", S::None, false, nullptr, nullptr,
            DecodeRow<LDSSDecode> },
        { "ra", { ".ra", ".ram", ".rm" }, "Real Audio Files(*.ra *.ram *.rm)", S::None, false,
            nullptr, nullptr, DecodeRow<LReadAudioDecode> },
    });
}
