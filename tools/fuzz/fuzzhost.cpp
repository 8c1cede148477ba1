#include "tools/fuzz/fuzzhost.h"

#include <string_view>

#include "ai/expert.h"
#include "net/protocol.h"

namespace vorn::fuzz {

FuzzHost::FuzzHost(const Setup& setup)
    : HeadlessHost(setup.seed, /*withPictures=*/false), strict_(setup.host) {
    view.answer = setup.nextGame;
    // Both sides deal as the host does; a joiner's copy then forgets the
    // draws it would have been told about.
    Seat(/*host=*/true, 0);
    slotUp[4] = true;  // a fourth joiner, whom the host must turn away
    table.TheLastThrower = setup.leader;
    engine_.NewGame();
    engine_.Deal();
    queue.Discard();
    if (!setup.host) {
        Seat(/*host=*/false, setup.localSeat);
        engine_.HideThrowButton();
        engine_.ReceiveTurn(setup.leader, true);
    }
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

std::string CheckTable(const Engine& engine, const GameState& table, const Session& session,
                       const SendQueue& queue) {
    if (engine.Busy()) return "an action is still running";
    std::string lost = CheckConservation(table);
    if (!lost.empty()) return "conservation: " + lost;
    if (table.CurrentSeat < 0 || table.CurrentSeat > 3)
        return "CurrentSeat " + std::to_string(table.CurrentSeat);
    if (table.TheLastThrower < 0 || table.TheLastThrower > 3)
        return "TheLastThrower " + std::to_string(table.TheLastThrower);
    if (session.LocalSeat < 0 || session.LocalSeat > 3)
        return "LocalSeat " + std::to_string(session.LocalSeat);
    for (const auto& [target, text] : queue.Waiting()) {
        std::string_view tag, body;
        SplitMessage(text, tag, body);
        bool known = false;
        for (auto t : tags::kAll) known = known || tag == t;
        for (auto t : tags2::kAll) known = known || tag == t;
        if (!known) return "queued a message with no known tag: " + text;
    }
    return {};
}

std::string FuzzHost::CheckState() const {
    return CheckTable(engine_, table, session_, queue);
}

}  // namespace vorn::fuzz
