#include "platform/core/Clock.h"

namespace vorta {

namespace {
std::function<QDateTime()>& clockFunction()
{
    static std::function<QDateTime()> f;
    return f;
}
} // namespace

QDateTime now()
{
    return clockFunction() ? clockFunction()() : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

void setClock(std::function<QDateTime()> clock)
{
    clockFunction() = std::move(clock);
}

} // namespace vorta
