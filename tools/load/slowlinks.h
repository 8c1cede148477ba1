#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/framer.h"
#include "tools/load/wirejoiner.h"

namespace vorn::load {

struct SlowChoices {
    int port = 0;
    int links = 1000;
    // The links trickle this long before the person comes, who then has
    // patienceSeconds to be seated and dealt.
    double warmupSeconds = 5;
    double patienceSeconds = 10;
};

// The slow-link attack: links from many addresses of 127.0.0.0/8 (four to an
// address, below the server's limit for one address), each sending one byte
// of a word it never finishes every second (the first as soon as it is
// connected), and each opened again at the next second when the server
// closes it. While they run, a person, a joiner on the first
// version of the wire, comes from 127.0.0.1 and must be seated and dealt.
class SlowLinks {
  public:
    explicit SlowLinks(const SlowChoices& choices);
    ~SlowLinks();
    SlowLinks(const SlowLinks&) = delete;
    SlowLinks& operator=(const SlowLinks&) = delete;

    // Runs the attack and the person and prints what came of it; false when
    // the person was not dealt within its patience.
    bool Run();

  private:
    struct Link {
        int fd = -1;
        std::uint32_t address = 0;  // host order
        long sent = 0;              // bytes of the word so far
    };

    bool Open(Link& link);
    void Drop(Link& link);
    // The next byte of its word; false when the link failed.
    bool SendByte(Link& link);
    void Trickle();
    void OnSlowEvent(int index, std::uint32_t events);
    bool OpenPerson();
    void OnPersonEvent(std::int64_t now);
    void Report(std::int64_t now);

    SlowChoices choices_;
    int epoll_ = -1;
    std::vector<Link> links_;
    long opened_ = 0;
    long closedByServer_ = 0;
    long failedToOpen_ = 0;

    int person_ = -1;
    Framer personFramer_;
    WireJoiner joiner_{"Person", 1};
    std::int64_t personAt_ = -1;
    std::int64_t seatedAt_ = -1;
    std::int64_t dealtAt_ = -1;
    bool personLost_ = false;
    bool turnedAway_ = false;
};

}  // namespace vorn::load
