#include "app/LLoudnessStatus.h"

#include "edit/LSRCCutListAudio.h"
#include "process/LThread.h"

#include <functional>
#include <vector>

// Reads one source to its end through the meter, then hands the result to
// fnDone on this thread unless stopped first.
class LLoudnessWorker : public LThread {
public:
    LLoudnessWorker(SourceHandle hSource, std::function<void(const LLoudness&)> fnDone)
        : hSource(std::move(hSource))
        , fnDone(std::move(fnDone))
    {
    }
    ~LLoudnessWorker() override { StopThreadTimed(5000); }

protected:
    void ThreadFunction() override
    {
        LSoundSourceBase& src = *hSource;
        LLoudnessMeter meter(src.GetSampleRate(), src.GetChannels());
        meter.Reserve(src.GetLength());
        std::vector<int32_t> block(size_t(src.GetChannels()) * kBlockFrames);
        while (src.GetPosition() < src.GetLength()) {
            if (IsStopRequested())
                return;
            const int32_t n = std::min(kBlockFrames, src.GetLength() - src.GetPosition());
            src.Read(block.data(), n);
            meter.Add(block.data(), n);
        }
        fnDone(meter.Result());
    }

private:
    SourceHandle hSource;
    std::function<void(const LLoudness&)> fnDone;
};

namespace {
bool SameAudio(const LCutListAudio& a, const LCutListAudio& b)
{
    if (a.GetSampleRate() != b.GetSampleRate() || a.GetChannels() != b.GetChannels()
        || a.GetCuts().size() != b.GetCuts().size())
        return false;
    for (size_t i = 0; i < a.GetCuts().size(); ++i) {
        const LAudioCut &x = a.GetCuts()[i], &y = b.GetCuts()[i];
        if (x.wCut != y.wCut || x.iLength != y.iLength || x.iGain != y.iGain
            || x.iOffset != y.iOffset)
            return false;
    }
    return true;
}
} // namespace

LLoudnessStatus::LLoudnessStatus(QWidget* pParent)
    : QLabel(pParent)
{
    setObjectName("110.2");
}

LLoudnessStatus::~LLoudnessStatus() = default;

void LLoudnessStatus::Measure(const LCutListAudio* pAudio)
{
    if (pAudio && bHaveLast && SameAudio(*pAudio, last))
        return;
    pWorker.reset(); // stops the older measurement and releases its reader
    ++uRequest;
    bHaveLast = pAudio != nullptr;
    if (!pAudio) {
        last = LCutListAudio();
        clear();
        return;
    }
    last = *pAudio;
    setText("Loudness: measuring...");
    const unsigned uThis = uRequest;
    pWorker = std::make_unique<LLoudnessWorker>(
        MakeHandle<LSRCCutListAudio>(last), [this, uThis](const LLoudness& result) {
            QMetaObject::invokeMethod(
                this, [this, uThis, result] { Show(uThis, result); }, Qt::QueuedConnection);
        });
    pWorker->Start(LThread::kPriorityBelowNormal);
}

void LLoudnessStatus::Show(unsigned uFor, const LLoudness& result)
{
    if (uFor != uRequest)
        return;
    pWorker.reset(); // its reader's files are not held past the result
    setText(QString::fromStdString("Loudness: " + result.Text()));
}
