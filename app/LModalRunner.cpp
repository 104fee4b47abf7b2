#include "app/LModalRunner.h"

namespace {
LModalRunner::Hook& CurrentHook()
{
    static LModalRunner::Hook hook;
    return hook;
}
} // namespace

int LModalRunner::Exec(QDialog& dialog)
{
    if (CurrentHook())
        return CurrentHook()(dialog);
    return dialog.exec();
}

void LModalRunner::SetHook(Hook hook)
{
    CurrentHook() = std::move(hook);
}
