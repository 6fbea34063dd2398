#!/usr/bin/env python3
"""Writes the game fuzzer's seed corpus: short real games in its operation bytes.

Run from anywhere; it rewrites fuzz/corpus/game/. The operations are those of
tests/support/scripted_game.h: single letters for clicks, keys and menu commands, "T" + length +
text for a typed answer, "Q" + count + 16-bit values for the rolls, "$" + 16 bits for money.
"""
import math
import pathlib

OUT = pathlib.Path(__file__).resolve().parent / "game"


def typed(text):
    raw = text.encode()
    return b"T" + bytes([len(raw)]) + raw


def draw(number, eventroll=6, priceroll=0, fine=50):
    """The four rolls of one spin, as the values the random source hands out."""
    def value(index, count):
        v = math.ceil(index / count * 65536)
        assert math.floor(v / 65536 * count) == index
        return v.to_bytes(2, "big")
    return b"Q\x03" + value(number, 37) + value(eventroll, 16) + value(priceroll, 18) + \
        value(fine - 50, 50)


def money(amount):
    return b"$" + amount.to_bytes(2, "big")


ENTER = b"E"
PAWN_FIRST = b"P1"          # open the wardrobe and pawn its first entry
PAWN_SECOND = b"Ph\x021"    # the same with the second entry highlighted
REDEEM_FIRST = b"U2"        # open the pawned list and redeem its first ticket

SEEDS = {
    "menus_on_every_screen": b"FSHA" + ENTER + b"FSSL" + b"FHAW",
    "red_wins": ENTER + draw(7) + typed("3") + b"R",
    "black_loses_on_zero": ENTER + draw(0) + typed("3") + b"B",
    "odd_and_even": ENTER + draw(19) + typed("2") + b"O" + draw(36) + typed("1") + b"V",
    "dozen_pays_the_second": ENTER + draw(13, priceroll=5) + typed("") + typed("1") +
    typed("0") + b"D",
    "dozen_refused_at_the_second": ENTER + money(100) + draw(4, priceroll=6) + typed("2") +
    typed("1") + b"D",
    "numbers_with_zero_named": ENTER + draw(0) + typed("2") + typed("0") + typed("17") + b"N",
    "numbers_repeated_pick": ENTER + draw(17) + typed("3") + typed("17") + typed("17") +
    typed("4") + b"N",
    "numbers_pick_off_the_wheel": ENTER + draw(5) + typed("3") + typed("5") + typed("37") + b"N",
    "refused_and_negative_counts": ENTER + draw(9) + typed("1000") + b"R" + draw(9) +
    typed("-3") + b"O" + draw(9) + typed("99999999999") + b"V" + draw(9) + typed("2.5") + b"B",
    "pawn_everything_then_laugh": ENTER + b"L" + PAWN_FIRST * 4 + b"P" + REDEEM_FIRST + b"W",
    "prize_for_pawned_clothes": ENTER + b"L" + PAWN_SECOND * 3 + b"W" +
    draw(11, eventroll=5) + typed("1") + typed("11") + b"N",
    "fine_without_trousers": ENTER + b"LPh\x041W" + money(500) +
    draw(20, eventroll=2, priceroll=3) + typed("1") + b"R",
    "redeem_refused_then_paid": ENTER + b"L" + PAWN_FIRST + b"W" + money(10) + b"L" +
    REDEEM_FIRST + b"W" + money(400) + b"L" + REDEEM_FIRST,
    "house_limit": ENTER + money(32700) + draw(8, priceroll=17) + typed("1") + typed("8") +
    b"N" + b"L" + PAWN_FIRST,
    "start_over_in_the_pawnshop": ENTER + b"L" + PAWN_FIRST + b"P" + b"A" + b"P" + b"k\x00\x41" +
    b"1",
    "highlight_past_the_entries": ENTER + b"LPh\x0a1" + PAWN_FIRST + b"Uh\x0b2",
    "broke_after_fortune": ENTER + money(15) + draw(3, eventroll=14, priceroll=2) + b"R",
}


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for old in OUT.iterdir():
        old.unlink()
    for name, data in SEEDS.items():
        (OUT / name).write_bytes(data)


if __name__ == "__main__":
    main()
