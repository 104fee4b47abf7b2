#include "edit/LCutListAudio.h"

#include "edit/LAudioCutTank.h"
#include "edit/LSNKCutListAudio.h"
#include "edit/LSRCCutListAudio.h"
#include "platform/LFile.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace {

// A cut list written from the given samples (one new cut file).
LCutListAudio MakeList(const std::vector<int32_t>& samples, int iCh)
{
    LCutListAudio list;
    {
        SinkHandle h = MakeHandle<LSNKCutListAudio>(list, 8000, iCh);
        int32_t iFrames = int32_t(samples.size()) / iCh;
        for (int32_t i = 0; i < iFrames; i += 700)
            h->Write(samples.data() + size_t(i) * size_t(iCh), std::min(700, iFrames - i));
    }
    return list;
}

// Everything the list reads, read in uneven blocks.
std::vector<int32_t> Contents(const LCutListAudio& list)
{
    LSRCCutListAudio src(list);
    std::vector<int32_t> out(size_t(src.GetLength()) * size_t(src.GetChannels()));
    int32_t iDone = 0, iStep = 1;
    while (iDone < src.GetLength()) {
        int32_t n = std::min({ iStep, kBlockFrames, src.GetLength() - iDone });
        src.Read(out.data() + size_t(iDone) * size_t(src.GetChannels()), n);
        iDone += n;
        iStep = iStep * 3 + 1;
    }
    return out;
}

int CutFilesOnDisk()
{
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(LAudioCutTank::Get().GetFolder()))
        n += e.path().extension() == ".aud";
    return n;
}

// The same edits on a plain vector of frames (mono).
struct Model {
    std::vector<int32_t> v;
    static std::vector<int32_t> Range(const std::vector<int32_t>& v, int32_t s, int32_t e)
    {
        std::vector<int32_t> r;
        for (int32_t i = s; i < e; ++i)
            r.push_back(i >= 0 && i < int32_t(v.size()) ? v[size_t(i)] : 0);
        return r;
    }
    void Delete(int32_t s, int32_t e)
    {
        if (s > e || e < 0)
            return;
        s = std::clamp(s, 0, int32_t(v.size()));
        e = std::clamp(e, 0, int32_t(v.size()));
        v.erase(v.begin() + s, v.begin() + e);
    }
    void Insert(int32_t pos, std::vector<int32_t> src)
    {
        if (pos < 0) {
            src.insert(src.end(), size_t(-pos), 0);
            v.insert(v.begin(), src.begin(), src.end());
            return;
        }
        if (pos > int32_t(v.size()))
            v.resize(size_t(pos), 0);
        v.insert(v.begin() + pos, src.begin(), src.end());
    }
    void InsertSilence(int32_t pos, int32_t n)
    {
        if (pos < 0) {
            if (-pos > n)
                return;
            n += pos;
            pos = 0;
        }
        if (n > 0)
            Insert(pos, std::vector<int32_t>(size_t(n), 0));
    }
    void Amplify(int32_t s, int32_t e, int p)
    {
        for (int32_t i = std::max(s, 0); i < std::min(e, int32_t(v.size())); ++i)
            v[size_t(i)] = int32_t(int64_t(v[size_t(i)]) * p / 100);
    }
};

} // namespace

TEST(LCutListAudio, WriterMakesOneCutWithItsGraph)
{
    std::vector<int32_t> s(600, 0);
    s[0] = 0x7FFF0; // frame 0 left: positive peak 255
    s[3] = -0x800; // frame 1 right: negative peak 1
    s[5] = 0x7FF; // below one step: 0
    s[512] = -0x80000; // frame 256 left, in the second record
    LCutListAudio list = MakeList(s, 2);
    ASSERT_EQ(list.GetCuts().size(), 1u);
    const LAudioCut& c = list.GetCuts()[0];
    EXPECT_EQ(c.iLength, 300);
    EXPECT_EQ(LAudioCutTank::Get().GetRefCount(c.wCut), 1);
    std::vector<uint8_t> aud = TestSupport::ReadAll(LAudioCutTank::Get().GetAudFilePath(c.wCut));
    std::vector<uint8_t> grf = TestSupport::ReadAll(LAudioCutTank::Get().GetGrfFilePath(c.wCut));
    EXPECT_EQ(aud.size(), 2400u);
    EXPECT_EQ(grf, (std::vector<uint8_t> { 255, 0, 0, 1, 0, 255, 0, 0 }));
    EXPECT_EQ(Contents(list), s);
}

TEST(LCutListAudio, SplitsShareTheFileAndTheLastReferenceDeletesIt)
{
    int iFilesBefore = CutFilesOnDisk();
    LCutListAudio list = MakeList(std::vector<int32_t>(100, 16), 1);
    uint16_t w = list.GetCuts()[0].wCut;
    list.EfDelete(10, 20);
    ASSERT_EQ(list.GetCuts().size(), 2u); // where the pieces lie: the random edits below
    EXPECT_EQ(LAudioCutTank::Get().GetRefCount(w), 2);
    {
        LCutListAudio copy = list; // an undo state
        EXPECT_EQ(LAudioCutTank::Get().GetRefCount(w), 4);
        list.EfDelete(0, list.GetTotalLength());
        EXPECT_TRUE(list.GetCuts().empty());
        EXPECT_TRUE(LFile::Exists(LAudioCutTank::Get().GetAudFilePath(w)));
    }
    EXPECT_EQ(LAudioCutTank::Get().GetRefCount(w), 0);
    EXPECT_FALSE(LFile::Exists(LAudioCutTank::Get().GetAudFilePath(w)));
    EXPECT_FALSE(LFile::Exists(LAudioCutTank::Get().GetGrfFilePath(w)));
    EXPECT_EQ(CutFilesOnDisk(), iFilesBefore);
}

// Gains saturate, not wrap (plain amplify is in the random edits below).
TEST(LCutListAudio, GainsSaturateAndFineGains)
{
    LCutListAudio loud = MakeList({ 1, 2 }, 1);
    loud.EfAmplifyAll(20000);
    loud.EfAmplifyAll(200);
    EXPECT_EQ(loud.GetCuts()[0].iGain, 0x7FFFFFFF);
    loud.EfAmplifyAll(-30000); // must not wrap to a positive gain
    EXPECT_EQ(loud.GetCuts()[0].iGain, -0x7FFFFFFF);
    loud.EfAmplifyAll(-50);
    EXPECT_EQ(loud.GetCuts()[0].iGain, 0x3FFFFFFF);
    loud.EfGain(0, 2, 0x7FFFFFFF);
    EXPECT_EQ(loud.GetCuts()[0].iGain, 0x7FFFFFFF);
    LCutListAudio shortList = MakeList(std::vector<int32_t>(50, 16), 1);
    shortList.EfGain(-20, 10, 0x1000000 * 3 / 4);
    EXPECT_EQ(shortList.GetCuts()[0].iGain, 0xC00000);
    EXPECT_EQ(Contents(shortList)[9], 12);
    EXPECT_EQ(Contents(shortList)[10], 16);
    EXPECT_EQ(shortList.GetTotalLength(), 50);
}

// Random edits, ranges outside the audio included, match a plain vector.
TEST(LCutListAudio, RandomEditsMatchAPlainVector)
{
    int iFilesBefore = CutFilesOnDisk();
    std::mt19937 rng(12345);
    {
        Model model;
        for (int i = 0; i < 500; ++i)
            model.v.push_back(int32_t(rng() % 0x10000) - 0x8000);
        LCutListAudio list = MakeList(model.v, 1);
        LCutListAudio clip;
        std::vector<int32_t> clipModel;
        static const char* const aszOps[]
            = { "delete", "copy", "cut", "insert", "silence", "insert silence", "replace",
                  "amplify", "trim", "repeat", "delete before", "delete after" };
        auto Rand
            = [&](int32_t lo, int32_t hi) { return lo + int32_t(rng() % uint32_t(hi - lo + 1)); };
        for (int iStep = 0; iStep < 1500; ++iStep) {
            int32_t L = int32_t(model.v.size());
            int32_t s = Rand(-30, L + 30), e = Rand(s, s + 200);
            const uint32_t uOp = rng() % 12;
            switch (uOp) {
            case 0:
                list.EfDelete(s, e);
                model.Delete(s, e);
                break;
            case 1:
                list.EfCopy(s, e, clip);
                clipModel = Model::Range(model.v, s, e);
                break;
            case 2:
                list.EfCut(s, e, clip);
                clipModel = Model::Range(model.v, s, e);
                model.Delete(s, e);
                break;
            case 3:
                list.EfInsert(s, clip);
                model.Insert(s, clipModel);
                break;
            case 4:
                list.EfSilence(s, e);
                model.Delete(s, e);
                model.InsertSilence(s, e - s);
                break;
            case 5:
                list.EfInsertSilence(s, e - s);
                model.InsertSilence(s, e - s);
                break;
            case 6:
                list.EfReplace(s, e, clip);
                model.Delete(s, e);
                model.Insert(s, clipModel);
                break;
            case 7: {
                int p = Rand(-150, 250);
                list.EfAmplify(s, e, p);
                if (p != 100)
                    model.Amplify(s, e, p);
                break;
            }
            case 8:
                if (L > 2000) {
                    s = std::max(s, 0);
                    list.EfTrim(s, e);
                    model.v = Model::Range(model.v, s, std::min(e, L));
                }
                break;
            case 10:
                list.EfDeleteBefore(s);
                if (s > 0)
                    model.Delete(0, s);
                break;
            case 11:
                list.EfDeleteAfter(e);
                model.Delete(e, std::max(e, L));
                break;
            case 9:
                if (L < 3000 && s >= 0 && s <= L) {
                    int n = Rand(0, 2);
                    std::vector<int32_t> r = Model::Range(model.v, s, e);
                    list.EfRepeat(s, e, n);
                    for (int k = 0; k < n; ++k)
                        model.Insert(s, r);
                }
                break;
            }
            ASSERT_EQ(list.GetTotalLength(), int32_t(model.v.size()))
                << "step " << iStep << " " << aszOps[uOp];
            if (iStep % 25 == 0) {
                std::vector<int32_t> got = Contents(list);
                // Amplify rounds per cut gain; allow the fixed-point error.
                for (size_t i = 0; i < got.size(); ++i)
                    ASSERT_NEAR(got[i], model.v[i], 1 + std::abs(model.v[i]) / 1000)
                        << "step " << iStep << " " << aszOps[uOp] << " frame " << i;
            }
        }
    }
    EXPECT_EQ(CutFilesOnDisk(), iFilesBefore);
}

// Copies and inserts outside the audio are in the random edits above.
TEST(LCutListAudio, ListInsertedIntoItself)
{
    LCutListAudio two = MakeList({ 7, 8 }, 1);
    two.EfInsert(1, two);
    EXPECT_EQ(Contents(two), (std::vector<int32_t> { 7, 7, 8, 8 }));
}

TEST(LSRCCutListAudio, SeekAndPrerollAndPrivateCopy)
{
    std::vector<int32_t> s(2 * 1000);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = int32_t(i);
    LCutListAudio list = MakeList(s, 2);
    list.EfDelete(100, 200); // two cuts
    LSRCCutListAudio src(list);
    list.Clear(); // the reader keeps its own copy
    std::vector<int32_t> buf(2 * 50);
    src.Seek(-10);
    src.Read(buf.data(), 50);
    EXPECT_EQ(buf[19], 0);
    EXPECT_EQ(buf[20], 0);
    EXPECT_EQ(buf[21], 1);
    src.Seek(95);
    src.Read(buf.data(), 10);
    EXPECT_EQ(buf[2 * 4], 2 * 99);
    EXPECT_EQ(buf[2 * 5], 2 * 200) << "second cut starts after the gap";
    src.Seek(899);
    src.Read(buf.data(), 3);
    EXPECT_EQ(buf[0], 2 * 999);
    EXPECT_EQ(buf[2], 0);
    EXPECT_EQ(src.GetPosition(), 902);
}

TEST(LAudioCutTank, NumbersAreReusedAndSilenceHasNoFile)
{
    LAudioCutTank& tank = LAudioCutTank::Get();
    uint16_t a = tank.GetNewRefAndIncRef();
    uint16_t b = tank.GetNewRefAndIncRef();
    EXPECT_NE(a, b);
    tank.DecRef(a);
    EXPECT_EQ(tank.GetNewRefAndIncRef(), a) << "the lowest free number comes first";
    tank.DecRef(a);
    tank.DecRef(b);
    EXPECT_EQ(tank.GetAudFilePath(LAudioCutTank::kSilentCut), "");
    tank.IncRef(LAudioCutTank::kSilentCut);
    EXPECT_EQ(tank.GetRefCount(LAudioCutTank::kSilentCut), 0);
}

TEST(LCutListAudio, ManyReferencesKeepTheCutFile)
{
    // 100001 references to one cut file; dropping all but one keeps it.
    LCutListAudio list = MakeList(std::vector<int32_t>(10, 0x1000), 1);
    const uint16_t w = list.GetCuts()[0].wCut;
    const std::string strAud = LAudioCutTank::Get().GetAudFilePath(w);
    {
        LCutListAudio many = list;
        many.EfRepeat(0, 10, 100000);
        EXPECT_EQ(LAudioCutTank::Get().GetRefCount(w), 100002u);
        EXPECT_EQ(many.GetTotalLength(), 10 * 100001);
    }
    EXPECT_EQ(LAudioCutTank::Get().GetRefCount(w), 1u);
    EXPECT_TRUE(LFile::Exists(strAud));
    EXPECT_EQ(Contents(list), std::vector<int32_t>(10, 0x1000));
    list = LCutListAudio();
    EXPECT_FALSE(LFile::Exists(strAud));
}
