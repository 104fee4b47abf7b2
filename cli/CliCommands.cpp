#include "cli/CliCommand.h"
#include "cli/LConsoleProgressView.h"

#include <cstdio>

const std::vector<CliCommand>& GetCliCommands()
{
    static const std::vector<CliCommand> commands = {
        { "info",
            "info FILE...            rate, channels, length and peak of audio files, their\n"
            "                          integrated loudness (LUFS), loudness range (LU) and true\n"
            "                          peak (dBTP), and their bookmarks",
            CliInfo },
        { "convert", kConvertUsage, CliConvert },
        { "formats", "formats                 file types, WAV codec names, headerless formats",
            CliFormats },
        { "edit",
            "edit IN [-o OUT] COMMAND...\n                          run editing commands on IN, "
            "e.g. \"select 0 1500\" \"Cut\"\n                          \"Amplify "
            "AmplifyGain=150\" \"Echo EchoTime=250 EchoGain=50\"\n                          "
            "\"High-Pass Filter LowCutFreq=250\"\n                          \"Dynamic Range "
            "Compressor CompressorThreshold=-20 CompressorRatio=2\"\n                          "
            "\"Noise Reduction NoiseGateLevel=-30\" \"Automatic Gain Control\"\n"
            "                          \"Normalize Loudness NormalizeLoudness=-16\";\n"
            "                          saves to OUT, or over IN;\n"
            "                          \"Send\" hands the file to the mail program (xdg-email)",
            CliEdit },
        { "play",
            "play FILE [--device N] [--speed slow|normal|fast] [--from MS] [--selection START "
            "END]\n                          play through a sound device; Space scrubs, Esc or "
            "Ctrl+C stops",
            CliPlay },
        { "record",
            "record OUT [--device N|NAME] [--rate R] [--channels 1|2] [--seconds S]\n"
            "                          [--autotrim|--no-autotrim] [--voice|--no-voice] "
            "[--threshold DB]\n                          record from an input device into OUT; "
            "Esc or Ctrl+C ends the\n                          take and keeps it",
            CliRecord },
        { "devices", "devices                 the sound output and input devices by number",
            CliDevices },
        { "effects",
            "effects                 every effect with its keys (for edit), ranges and defaults",
            CliEffects },
        { "keys",
            "keys [--file PATH]      the key macros (KEY<TAB>Command->Command), from keys.dat of\n"
            "                          the data folder or PATH; run one with edit's \"key "
            "Ctrl+F1\"",
            CliKeys },
        { "spectrum",
            "spectrum IN [--at MS] [--four-times]\n                          the levels of the "
            "Frequency Analysis at MS, one \"Hz dB\" line per bin",
            CliSpectrum },
        { "cd",
            "cd list                 the CD drives by number from 0, each with its tracks\n"
            "  cd rip DRIVE TRACK OUT [--verify]\n"
            "                          read audio track TRACK (from 1) into the WAV file OUT;\n"
            "                          --verify reads each chunk twice and re-reads until two\n"
            "                          agree; prints the track's AccurateRip v1 and v2 checksums",
            CliCd },
        { "project",
            "project info P.ovp | project extract P.ovp --document N | --region N OUT\n"
            "                          | project save OUT.ovp FILE...\n"
            "                          show a project, write one of its documents or regions, or "
            "make one of files\n                          (each with the bookmarks of its .obm)",
            CliProject },
        { "assemble",
            "assemble OUT IN[@START-END]... [--gap MS | --no-gap]\n"
            "                          join files or stretches of them into OUT, with AutoGap "
            "silence between them",
            CliAssemble },
        { "bookmarks", "bookmarks FILE.obm      the bookmarks of a bookmark list file",
            CliBookmarks },
        { "recover",
            "recover --list | recover --save DIR\n"
            "                          documents of an editor that ended without closing; --save "
            "writes each as WAV",
            CliRecover },
        { "batch",
            "batch SCRIPT.ovb FILE... [--format wav|mp3|gsm|vox|raw|aif|au] [--out DIR]\n"
            "                          [--keep-going] [--jobs N] [--raw-format N] [--raw-rate HZ]\n"
            "                          [--raw-channels 1|2] [--mp3-bitrate K]\n"
            "                          run a batch script over the files, one worker per core;\n"
            "                          without options each result replaces its input; the\n"
            "                          --raw-* values read and write every .vox/.raw file of the\n"
            "                          run, --mp3-bitrate encodes every .mp3 (else the stored "
            "ones)",
            CliBatch },
        { "script",
            "script make OUT.ovb \"Amplify AmplifyGain=150\" \"Convert Sample Rate "
            "SampleRate=22050\" ...\n"
            "                          write a batch script (a step without values takes the\n"
            "                          stored settings when it runs)\n"
            "  script show SCRIPT.ovb  the numbered commands of a script with their settings\n"
            "  script list             the batch commands with their keys and defaults",
            CliScript },
        { "voices", "voices                  the speech engine's voices by number", CliVoices },
        { "speak",
            "speak TEXT -o OUT [--voice N]\n"
            "                          speak TEXT with voice N (default 0) into the WAV file "
            "OUT,\n                          as Text To Speech does before inserting it",
            CliSpeak },
    };
    return commands;
}

int CliFail(const std::string& strText)
{
    // An interrupt is the cause of whatever fails after it: main says so.
    if (LConsoleProgressView::WasInterrupted())
        return kExitCancelled;
    // The error an operation showed names the file and the reason best.
    std::string strShown = LConsoleProgressView::TakeError();
    std::fprintf(stderr, "orvenna-cli: %s\n", (strShown.empty() ? strText : strShown).c_str());
    return kExitFailed;
}
