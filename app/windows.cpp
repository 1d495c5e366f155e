#include "app/windows.h"

#include <QWidget>

namespace Windows {

namespace {
TDataModule6 *runModule = nullptr;
QPointer<QWidget> runOwner;
} // namespace

void setRun(TDataModule6 *module, QWidget *owner)
{
    runModule = module;
    runOwner = owner;
}

TDataModule6 *module()
{
    return runModule;
}

QWidget *owner()
{
    return runOwner;
}

} // namespace Windows
