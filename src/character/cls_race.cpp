#include "character/cls_race.h"

namespace quillet {

void clsRace::InitializeData()
{
    Name = u"Human";
    STAdj = 0;
    STCost = 0;
    DXAdj = 0;
    DXCost = 0;
    IQAdj = 0;
    IQCost = 0;
    HTAdj = 0;
    HTCost = 0;
}

} // namespace quillet
