// Any bytes as a project file: loading must refuse it cleanly or give
// documents whose positions lie inside their audio, never allocating more
// than the file holds.
#include "features/LOVProject.h"
#include "fuzz/FuzzFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    LOVProjectData data;
    LOVLoadProject load { FuzzFile(pData, nSize, ".ovp"), &data };
    Process<LOVLoadProject> run("Loading Project", load);
    run.Run();
    for (const auto& p : data.files)
        if (p->sPosition < 0 || p->sPosition > p->GetLength() || p->sSelEnd > p->GetLength())
            std::abort();
    return 0;
}
