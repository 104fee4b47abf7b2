#include "EffectTestSupport.h"
#include "edit/LSNKCutListAudio.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/EfDCOffset.h"
#include "effects/EfReverse.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace EffectTest;

TEST(EfReverse, ReversesFramesAndKeepsChannels)
{
    // Left rises, right falls; the range spans more than two of the spans read per seek.
    std::vector<int32_t> in
        = Signal(150000, 2, [](int32_t f, int c) { return c ? -f * 16 - 7 : f * 16; });
    LCutListAudio doc = ListOf(in, 2);
    EfReverse rev { &doc, 140001, 1000 };
    EXPECT_EQ(RunBody(rev), 0);
    std::vector<int32_t> out = Samples(doc);
    ASSERT_EQ(out.size(), in.size());
    for (int32_t i = 0; i < 139001; ++i) {
        ASSERT_EQ(out[2 * size_t(1000 + i)], in[2 * size_t(140000 - i)]) << i;
        ASSERT_EQ(out[2 * size_t(1000 + i) + 1], in[2 * size_t(140000 - i) + 1]) << i;
    }
    EXPECT_EQ(std::vector<int32_t>(out.begin(), out.begin() + 2000),
        std::vector<int32_t>(in.begin(), in.begin() + 2000));
    EXPECT_EQ(std::vector<int32_t>(out.begin() + 2 * 140001, out.end()),
        std::vector<int32_t>(in.begin() + 2 * 140001, in.end()));

    // A whole document is checked against sox (EffectsAgainstSox); an empty range changes nothing.
    EfReverse empty { &doc, 50, 50 };
    auto before = Records(doc);
    EXPECT_EQ(RunBody(empty), 0);
    EXPECT_EQ(Records(doc), before);
}

namespace {
std::vector<int32_t> WithOffset(int32_t iFrames)
{
    return Signal(iFrames, 2, [](int32_t f, int c) {
        double d = 0x20000 * std::sin(2 * M_PI * f / 441.0 + c);
        return int32_t(std::lround(d)) + (c ? -777 * 16 : 3000 * 16);
    });
}

// Each channel's mean, truncated toward zero.
std::vector<int32_t> Means(const std::vector<int32_t>& v, size_t uCh)
{
    std::vector<double> sums(uCh, 0);
    for (size_t i = 0; i < v.size(); ++i)
        sums[i % uCh] += v[i];
    std::vector<int32_t> means;
    for (double s : sums)
        means.push_back(int32_t(s / double(v.size() / uCh)));
    return means;
}
} // namespace

TEST(EfDCOffset, RemovesEachChannelsMeanFromTheRangeOnly)
{
    std::vector<int32_t> in = WithOffset(40000);
    LCutListAudio doc = ListOf(in, 2);
    const int32_t iStart = 5000, iEnd = 35000;
    std::vector<int32_t> range(in.begin() + 2 * iStart, in.begin() + 2 * iEnd);
    std::vector<int32_t> offsets = Means(range, 2);
    EXPECT_NEAR(offsets[0], 3000 * 16, 200);
    EXPECT_NEAR(offsets[1], -777 * 16, 200);

    EfDCOffset dc { &doc, iEnd, iStart };
    EXPECT_EQ(RunBody(dc), 0);
    std::vector<int32_t> out = Samples(doc);
    ASSERT_EQ(out.size(), in.size());
    for (size_t i = 2 * iStart; i < 2 * size_t(iEnd); ++i)
        ASSERT_EQ(out[i], in[i] - offsets[i % 2]) << i;
    EXPECT_EQ(out[2 * iStart - 1], in[2 * iStart - 1]);
    EXPECT_EQ(out[2 * iEnd], in[2 * iEnd]);
    std::vector<int32_t> after
        = Means(std::vector<int32_t>(out.begin() + 2 * iStart, out.begin() + 2 * iEnd), 2);
    EXPECT_EQ(after[0], 0);
    EXPECT_EQ(after[1], 0);
}

TEST(EfDCOffset, CancelInEitherPassAndMismatchedStreamsChangeNothing)
{
    LCutListAudio doc = ListOf(WithOffset(30000), 2);
    auto before = Records(doc);
    // Four blocks per pass: pump 2 falls in the first, pump 6 in the second.
    for (int iPump : { 2, 6 }) {
        EfDCOffset dc { &doc, 30000, 0 };
        EXPECT_EQ(RunBody(dc, iPump), 1) << iPump;
        EXPECT_EQ(Records(doc), before);
    }

    EfDCOffset unused;
    Process<EfDCOffset> dlg("Test", unused);
    LCutListAudio target1, target2;
    LSRCCutListAudio src(doc);
    LSNKCutListAudio mono(target1, 44100, 1);
    LSNKCutListAudio otherRate(target2, 22050, 2);
    EXPECT_EQ(DCOffsetBody(dlg, &src, &mono), 2);
    EXPECT_EQ(DCOffsetBody(dlg, &src, &otherRate), 2);
    EXPECT_EQ(DCOffsetBody(dlg, nullptr, &otherRate), 2);
    EXPECT_EQ(DCOffsetBody(dlg, &src, nullptr), 2);
}
