#include "reference/price_rules.h"

#include "db/plant.h"

#include <cmath>

namespace PriceRules {

double pieceUnitPrice(double basePrice, const PieceSurcharges &s)
{
    double price = basePrice;
    if (s.dayOff)
        price *= Plant::DayOffFactor;
    if (s.journalMode == Plant::Shift3)
        price *= Plant::Shift3Factor;
    else if (s.journalMode == Plant::Overtime)
        price *= Plant::OvertimeFactor;
    return price;
}

double roundTo4(double value)
{
    // Half-way values go to the even neighbour (the default rounding mode of the FPU).
    return std::nearbyint(value * 10000.0) / 10000.0;
}

QString pieceUnitPriceText(double price)
{
    return pieceUnitPriceValue(price).sql();
}

SqlValue pieceUnitPriceValue(double price)
{
    return SqlValue::number(roundTo4(price));
}

double hourPrice(double normPrice, bool holiday, bool night)
{
    double price = normPrice;
    if (holiday)
        price *= Plant::DayOffFactor;
    if (night)
        price *= Plant::NightFactor;
    return price;
}

} // namespace PriceRules
