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
        case NetNews::Returned:
            return name + words(texts::kReturned);
        case NetNews::WrongPassword:
            return words(texts::kWrongPassword);
        case NetNews::BadToken:
            return words(texts::kBadToken);
        case NetNews::OldClosed:
            return words(texts::kOldClosed);
        case NetNews::Reconnecting:
            return words(texts::kReconnecting);
        case NetNews::TimedOut:
            return name + words(texts::kTimedOut);
    }
    return {};
}

}  // namespace vorn
