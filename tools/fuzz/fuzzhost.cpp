#include "tools/fuzz/fuzzhost.h"

#include <string_view>

#include "ai/expert.h"
#include "net/protocol.h"

namespace vorn::fuzz {

FuzzHost::FuzzHost(const Setup& setup)
    : random(setup.seed), engine_(table, session_, options, view, random), strict_(setup.host) {
    options.animation = false;
    options.sound = false;
    // The clock stands still, so that what chat passes depends on the input alone.
    dispatcher.now = [] { return std::int64_t(0); };
    view.answer = setup.nextGame;
    session_.PlayerNames = {"H", "J1", "J2", "J3"};
    // Both sides deal as the host does; a joiner's copy then forgets the
    // draws it would have been told about.
    session_.mode = Mode::Host;
    session_.LocalSeat = 0;
    session_.SlotCount = 3;
    slotUp = {false, true, true, true, true};
    PlaceTable(engine_, session_, outbox);
    table.TheLastThrower = setup.leader;
    engine_.NewGame();
    engine_.Deal();
    queue.Discard();
    if (!setup.host) {
        session_.mode = Mode::Joiner;
        session_.LocalSeat = setup.localSeat;
        session_.SlotCount = 0;
        slotUp.fill(false);
        hostLinkUp = true;
        PlaceTable(engine_, session_, outbox);
        engine_.HideThrowButton();
        engine_.ReceiveTurn(setup.leader, true);
    }
}

void FuzzHost::CloseAllConnections() {
    slotUp.fill(false);
    hostLinkUp = false;
}

void FuzzHost::ResetToLocalGame() {
    session_.ReturnToLocal();
    PlaceTable(engine_, session_, outbox);
    queue.Discard();
    engine_.DropTableActions();
}

bool FuzzHost::PlayLocalTurns(std::string& problem) {
    // A host's seat 0 moves at most once before a joiner is to move again;
    // the bound only guards against a turn that never passes on.
    for (int step = 0; step < 4; ++step) {
        const int local = session_.LocalSeat;
        if (!session_.IsNet() || engine_.Busy() || !engine_.ThrowVisible() || table.CurrentSeat != local)
            return true;
        if (local < 0 || local > 3 || table.lstDirection[local].Empty()) return true;
        const bool lead = table.MustLead || table.TablePlay.Empty();
        const std::string before = Codes(table.TablePlay);
        RulesDecision(table, local, lead, options.gambleRate, random);
        const std::string chosen = Codes(table.lstSelected);
        engine_.ThrowClick();
        if (table.lstSelected.Empty()) continue;
        if (strict_) {
            problem = "the host's own ";
            problem.append(lead ? "lead " : "follow ")
                .append(chosen)
                .append(" was refused against ")
                .append(before);
            return false;
        }
        table.lstDirection[local] |= table.lstSelected;
        table.lstSelected.Clear();
        if (table.MustLead) return true;
        engine_.ThrowClick();
    }
    return true;
}

std::string FuzzHost::CheckState() const {
    if (engine_.Busy()) return "an action is still running";
    std::string lost = CheckConservation(table);
    if (!lost.empty()) return "conservation: " + lost;
    if (table.CurrentSeat < 0 || table.CurrentSeat > 3)
        return "CurrentSeat " + std::to_string(table.CurrentSeat);
    if (table.TheLastThrower < 0 || table.TheLastThrower > 3)
        return "TheLastThrower " + std::to_string(table.TheLastThrower);
    if (session_.LocalSeat < 0 || session_.LocalSeat > 3)
        return "LocalSeat " + std::to_string(session_.LocalSeat);
    for (const auto& [target, text] : queue.Waiting()) {
        std::string_view tag, body;
        SplitMessage(text, tag, body);
        bool known = false;
        for (auto t : tags::kAll) known = known || tag == t;
        if (!known) return "queued a message with no known tag: " + text;
    }
    return {};
}

}  // namespace vorn::fuzz
