#include "EffectTestSupport.h"
#include "edit/LAudioCutTank.h"
#include "edit/LSNKCutListAudio.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LDPAutoGain.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

using namespace EffectTest;

namespace {
constexpr int32_t kRate = 44100;

// A 1 kHz tone on both channels whose peak at frame f is fnPeak(f).
LCutListAudio ToneDoc(int32_t iFrames, const std::function<double(int32_t)>& fnPeak)
{
    return ListOf(Signal(iFrames, 2,
                      [&](int32_t f, int) {
                          return int32_t(
                              std::lround(fnPeak(f) * std::sin(2 * M_PI * 1000.0 * f / kRate)));
                      }),
        2);
}

// The gain control's files in the working folder and this process's descriptors on them.
std::vector<std::string> TemporaryFiles()
{
    namespace fs = std::filesystem;
    std::vector<std::string> found;
    const std::string strFolder = LAudioCutTank::Get().GetFolder();
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(strFolder, ec))
        if (e.path().filename().string().rfind("lc", 0) == 0)
            found.push_back(e.path().string());
    for (const auto& e : fs::directory_iterator("/proc/self/fd", ec)) {
        const std::string strTarget = fs::read_symlink(e.path(), ec).string();
        if (strTarget.rfind(strFolder + "/lc", 0) == 0)
            found.push_back(strTarget);
    }
    return found;
}
} // namespace

TEST(AutoGain, ReferenceLevelsAndCurveFollowTheirRules)
{
    struct Case {
        std::vector<std::pair<int, int64_t>> bins; // level, blocks
        int iReference;
    };
    const Case cases[] = {
        { { { -20, 100 } }, -20 },
        { { { -40, 90 }, { -20, 10 } }, -40 }, // the loud tenth is too few to set it
        { { { -40, 30 }, { -20, 70 } }, -20 }, // quiet blocks 20 dB down are left out
        { { { -30, 25 }, { -25, 25 }, { -20, 25 }, { -15, 25 } }, -20 },
        { { { -127, 90 }, { 6, 10 } }, -127 },
    };
    for (const Case& c : cases) {
        LDPAutoGain::Histogram h {};
        for (const auto& [iLevel, n] : c.bins)
            h[size_t(iLevel + 128)] = n;
        EXPECT_EQ(LDPAutoGain::ReferenceLevel(h), c.iReference) << c.bins.front().first;
    }
    const auto curve = LDPSRCAutoGain::GainCurve(-9, -0.5, 2);
    const std::pair<int, int> kCurve[] = { { -128, 5 }, { -10, 5 }, { -9, 5 }, { -8, 4 }, { -7, 4 },
        { 0, 0 }, { 1, -1 }, { 2, -1 }, { 3, -2 }, { 10, -9 }, { 127, -126 } };
    for (const auto& [d, iDb] : kCurve)
        EXPECT_EQ(curve[size_t(d + 128)], iDb) << d;
}

TEST(AutoGain, LevelsEvenedLengthKeptAndSilenceInsideLoudMaterialHandled)
{
    const double kLoud = 0x40000; // about +6 dB on the block level scale
    struct Case {
        const char* szWhat;
        int32_t iFrames;
        std::function<double(int32_t)> fnPeak;
        int32_t iQuietFrom, iQuietTo; // frames 20 dB down, or silent
        int32_t iLoudFrom, iLoudTo;
        double dQuietToLoudDb; // after, at least (silence: none)
    };
    const Case cases[] = {
        { "a loud second, then nine 20 dB down", 10 * kRate,
            [=](int32_t f) { return f < kRate ? kLoud : kLoud / 10; }, 3 * kRate, 8 * kRate,
            kRate / 4, 3 * kRate / 4, -4 },
        { "digital silence inside loud material", 3 * kRate,
            [=](int32_t f) { return f >= kRate && f < 2 * kRate ? 0 : kLoud; }, kRate, 2 * kRate,
            kRate / 4, 3 * kRate / 4, 0 },
        { "a loud burst inside silence", 10 * kRate,
            [=](int32_t f) { return f >= 5 * kRate && f < 6 * kRate ? kLoud : 0; }, 0, 4 * kRate,
            5 * kRate + kRate / 4, 5 * kRate + kRate * 3 / 4, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szWhat);
        LCutListAudio doc = ToneDoc(c.iFrames, c.fnPeak);
        const std::vector<int32_t> in = Samples(doc);
        EfAutoGainControl agc { &doc, c.iFrames, 0 };
        ASSERT_EQ(RunBody(agc), 0);
        const std::vector<int32_t> out = Samples(doc);
        ASSERT_EQ(out.size(), in.size());
        for (int32_t s : out)
            ASSERT_LE(std::abs(s), kInternalFullScale);
        const double dLoud = Rms(out, c.iLoudFrom, c.iLoudTo, 2);
        EXPECT_GT(dLoud, 0x20000 * 0.4);
        const double dQuiet = Rms(out, c.iQuietFrom, c.iQuietTo, 2);
        if (c.dQuietToLoudDb < 0)
            EXPECT_GT(20 * std::log10(dQuiet / dLoud), c.dQuietToLoudDb);
        else
            EXPECT_EQ(dQuiet, 0);
    }
}

TEST(AutoGain, FadesOnlyAtTheDocumentsEnd)
{
    for (bool bToEnd : { false, true }) {
        LCutListAudio doc = ToneDoc(3 * kRate, [](int32_t) { return 0x20000; });
        const int32_t iEnd = bToEnd ? 3 * kRate : 2 * kRate + 12345;
        EfAutoGainControl agc { &doc, iEnd, kRate / 2 };
        ASSERT_EQ(RunBody(agc), 0);
        const std::vector<int32_t> out = Samples(doc);
        ASSERT_EQ(out.size(), size_t(6 * kRate));
        // The range's last 200 frames against the 800 before them.
        const double dRatio = Rms(out, iEnd - 200, iEnd, 2) / Rms(out, iEnd - 1000, iEnd - 200, 2);
        if (bToEnd)
            EXPECT_LT(dRatio, 0.3);
        else
            EXPECT_GT(dRatio, 0.8);
    }
}

TEST(AutoGain, FilesArePrivateInTheWorkingFolderAndCancelLeavesNothing)
{
    LCutListAudio doc = ToneDoc(4 * kRate, [](int32_t f) { return f < 2 * kRate ? 3000 : 30000; });
    {
        LCutListAudio target;
        LSNKCutListAudio sink(target, kRate, 2);
        LDPAutoGain agc(MakeHandle<LSRCCutListAudio>(doc), sink, true);
        ASSERT_TRUE(agc.IsReady());
        ASSERT_EQ(agc.Step(), LDPAutoGain::kMore);
        // Two descriptors on unlinked files of the working folder.
        const std::vector<std::string> open = TemporaryFiles();
        ASSERT_EQ(open.size(), 2u);
        for (const std::string& s : open)
            EXPECT_NE(s.find("(deleted)"), std::string::npos) << s;
        sink.Close();
    }
    EXPECT_TRUE(TemporaryFiles().empty());

    // About 200 blocks a pass: a cancel in the first and in the second.
    const std::vector<CutRecord> before = Records(doc);
    const std::vector<int32_t> samples = Samples(doc);
    for (int iPump : { 20, 300 }) {
        EfAutoGainControl agc { &doc, 4 * kRate, 0 };
        EXPECT_EQ(RunBody(agc, iPump), 1) << iPump;
        EXPECT_EQ(Records(doc), before) << iPump;
        EXPECT_TRUE(TemporaryFiles().empty()) << iPump;
    }
    EXPECT_EQ(Samples(doc), samples);
}
