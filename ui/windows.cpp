#include "ui/windows.h"

#include <QWidget>

namespace Windows {

namespace {
DataModule *runModule = nullptr;
QPointer<QWidget> runOwner;
} // namespace

void setRun(DataModule *module, QWidget *owner)
{
    runModule = module;
    runOwner = owner;
}

DataModule *module()
{
    return runModule;
}

QWidget *owner()
{
    return runOwner;
}

} // namespace Windows
