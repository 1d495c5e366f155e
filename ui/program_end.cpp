#include "ui/program_end.h"

#include <QCoreApplication>

namespace Program {
namespace {
std::function<void()> endHandler;
}

void requestEnd()
{
    if (endHandler)
        endHandler();
    else
        QCoreApplication::exit(0);
}

void setEndHandler(const std::function<void()> &handler)
{
    endHandler = handler;
}
} // namespace Program
