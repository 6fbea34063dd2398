// The money ledger: from what one event's boxes said, where the money must stand after it.
// The invariant checker compares it with the game's state; the monkey runs compare it with
// the balance the real programs show.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/event.h"

namespace casino::testing {

// One event as the player lived it.
struct EventRecord {
    Event event;
    std::int16_t money_before = 0;
    // For a key in a list: the highlighted line of that list before the key, empty when
    // nothing was highlighted.
    std::string highlighted_before;
    std::vector<std::string> lines;  // "message <text>" and "ask <prompt>" lines, in order
    std::vector<std::string>
        answers;  // what its input boxes got, in order; missing ones were empty
};

// What the boxes of one event announced, and where that leaves the money.
struct Settlement {
    std::int32_t money = 0;
    std::optional<int> number;     // the winning number a result message named
    std::optional<int> chipprice;  // the chip price announced
    std::optional<int> fine;       // the fine a message named
    struct Pawn {
        std::size_t item;
        std::int32_t redeem_price;  // what the ticket must ask: the price plus the surcharge
    };
    std::optional<Pawn> pawn;
    // "ledger: ..." sentences; when there is any, the flow itself was wrong and `money`
    // means nothing.
    std::vector<std::string> problems;
};

// Works out the event; game_over tells whether the game had quit by its end (start over
// then does nothing).
Settlement settle(const EventRecord& record, bool game_over = false);

// ---- The wardrobe and the messages, written out as the player reads them ----

inline constexpr std::size_t kItems = 4;
inline constexpr std::array<std::string_view, kItems> kItemTexts = {"часы ", "пиджак ", "брюки ",
                                                                    "ботинки "};
// What redeeming an item costs above its pawn price.
inline constexpr std::array<std::int32_t, kItems> kSurcharge = {200, 200, 250, 200};

// A text between brackets, as the checkers quote what they saw.
std::string quoted(std::string_view text);
// The item whose text this is.
std::optional<std::size_t> item_named(std::string_view text);
// Plain decimal digits, no sign and no leading zero, small enough for an int.
std::optional<std::int32_t> digits_of(std::string_view text);
// The item a ticket line names, and the price on it.
struct Ticket {
    std::size_t item;
    std::int32_t price;
};
std::optional<Ticket> read_ticket(std::string_view line);

// A fortune message the game may show before a bet, with its amount and its cue.
struct FortuneText {
    std::string_view text;
    std::int32_t amount;
    std::string_view cue = {};
};
const FortuneText* fortune_for(std::string_view text);
inline constexpr std::string_view kFinePrefix =
    "тебя оштрафовали за появление в общественном месте в неприличном виде на ";
inline constexpr std::string_view kBucks = " баксов.";

// The amount in a balance message ("у тебя<N> баксов."), if the text is one.
std::optional<int> balance_in(std::string_view text);

}  // namespace casino::testing
