#include "net/news.h"

#include "net/texts.h"

namespace vorn {

std::string NewsText(NetNews news, const std::string& name, const Words& words) {
    switch (news) {
        case NetNews::Arrived:
            return name + words(texts::kArrived);
        case NetNews::Left:
            return name + words(texts::kLeft);
        case NetNews::AllSeated:
            return words(texts::kAllSeated);
        case NetNews::TableFull:
            return words(texts::kTableFull);
        case NetNews::LeftGameOver:
            return name + words(texts::kLeftGameOver);
        case NetNews::StandIn:
            return name + words(texts::kDroppedStandIn);
    }
    return {};
}

}  // namespace vorn
