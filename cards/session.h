#pragma once

#include <array>
#include <string>

namespace vorn {

// Program-wide values of one running table: the mode (local or network, host
// or joiner), whose seat is at this computer, the seat names and the network
// choices. One object per table, owned by whoever runs it, so that a test can
// run a host and three joiners in one process.
struct Session {
    bool IsNet = false;
    bool IsHost = false;
    int LocalSeat = 0;
    std::array<std::string, 4> PlayerNames{"朱雀", "青龙", "玄武", "白虎"};
    std::string ServerAddress;
    int ServerPort = 0;
    int SlotCount = 0;
};

}  // namespace vorn
