#pragma once

#include <QNetworkInterface>

namespace vorn::test {

// True inside the network namespace tests/lan/in_netns.sh makes: only the
// loopback and its linked pair v0/v1, so nothing sent here leaves it.
inline bool InOwnNamespace() {
    const auto interfaces = QNetworkInterface::allInterfaces();
    bool linked = false;
    for (const QNetworkInterface& i : interfaces) {
        if (i.name() != "lo" && i.name() != "v0" && i.name() != "v1") return false;
        linked = linked || i.name() == "v0";
    }
    return linked;
}

}  // namespace vorn::test
