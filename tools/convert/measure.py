#!/usr/bin/env python3
"""Measures Simplified to Traditional conversion, by hand (not in CI).

Each corpus is Traditional text. It is made Simplified by OpenCC (t2s), then
converted back by pagora-book convert and by OpenCC's s2twp; every character
that differs from the original counts as wrong, unless the two are variants
of one character (Unihan's kSemanticVariant, kZVariant and
kSpecializedSemanticVariant, and OpenCC's variant tables), or the original's
character is none that its Simplified one can stand for (a Simplified or odd
form in the original itself). Only Han characters count: punctuation (our curly
quotes made corner quotes) does not.

Usage: measure.py PAGORA_BOOK CORPUS_NAME=PATH... [--errors DIR]

A PATH is a .txt file, a folder of .txt/.html files, or a chinese-poetry
.json file (its poems' lines are read). Needs opencc, opencc_dict and
unicode-data.
"""
import bz2
import collections
import html
import json
import os
import re
import subprocess
import sys
import tempfile

from learn_context import read_dict

OCD = "/usr/share/opencc"
UNIHAN = "/usr/share/unicode/Unihan_Variants.txt.bz2"


def opencc_dict(name, folder):
    out = os.path.join(folder, name + ".txt")
    subprocess.run(["opencc_dict", "-i", f"{OCD}/{name}.ocd2", "-o", out, "-f", "ocd2", "-t", "text"], check=True)
    return read_dict(out)


def variant_pairs():
    """Variant pairs, and per Simplified character the Traditional forms it can give."""
    with tempfile.TemporaryDirectory() as tmp:
        st = opencc_dict("STCharacters", tmp)
        tw = opencc_dict("TWVariants", tmp)
        variants = [opencc_dict(n, tmp) for n in
                    ("TWVariants", "TWVariantsRev", "HKVariants", "HKVariantsRev", "JPVariants", "JPVariantsRev")]
    pairs = set()
    for table in variants:
        for k, vs in table.items():
            if len(k) == 1:
                for v in vs:
                    if len(v) == 1:
                        pairs.add(frozenset((k, v)))
    with bz2.open(UNIHAN, "rt", encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) < 3 or parts[1] not in ("kSemanticVariant", "kZVariant", "kSpecializedSemanticVariant"):
                continue
            a = chr(int(parts[0][2:], 16))
            for token in parts[2].split(" "):
                b = chr(int(token.split("<")[0][2:], 16))
                pairs.add(frozenset((a, b)))
    # Spelt either way in one sense, yet in none of the tables.
    pairs.update(frozenset(p) for p in ("閑閒", "豔艷", "灩灧", "翫玩", "煉鍊", "裊嫋"))
    forms = {}
    for k, vs in st.items():
        if len(k) == 1:
            forms[k] = set(vs) | {tw[v][0] for v in vs if v in tw}
    return pairs, forms


def read_corpus(path):
    if os.path.isdir(path):
        return "\n".join(read_corpus(os.path.join(path, n)) for n in sorted(os.listdir(path))
                         if n.endswith((".txt", ".html")))
    with open(path, encoding="utf-8") as f:
        text = f.read()
    if path.endswith(".json"):
        return "\n".join(line for poem in json.loads(text) for line in poem.get("paragraphs", []))
    if path.endswith(".html"):
        text = re.sub(r"(?s)<(script|style|pre|code).*?</\1>", "", text)
        text = html.unescape(re.sub(r"<[^>]+>", "", text))
    return "\n".join(line.strip() for line in text.splitlines() if re.search(r"[\u4e00-\u9fff]", line))


def run(cmd, text):
    return subprocess.run(cmd, input=text.encode(), stdout=subprocess.PIPE, check=True).stdout.decode()


def is_han(text):
    return any("\u3400" <= c <= "\u9fff" or "\U00020000" <= c <= "\U0003134f" for c in text)


QUOTES = str.maketrans("“”‘’「」『』", "\"\"\"\"\"\"\"\"")


# Pairs that classical editions write either way in the senses met there:
# an ancient form and its later one (采採, 卷捲), or characters used for
# each other (迴回, 游遊). Counted apart, as "lenient".
INTERCHANGEABLE = {frozenset(p) for p in (
    "迴回", "游遊", "采採", "卷捲", "淒悽", "闇暗", "霑沾", "昇升", "綵彩", "脩修", "甯寧", "兇凶", "託托", "閤合",
    "徵征", "濛蒙", "併並")}


def wrong(original, simplified, converted, pairs, forms, errors):
    original, converted = original.translate(QUOTES), converted.translate(QUOTES)
    count = 0
    for a, s, b in zip(original.split("\n"), simplified.split("\n"), converted.split("\n")):
        if a == b:
            continue
        if len(a) != len(b):
            import difflib
            for op, i1, i2, j1, j2 in difflib.SequenceMatcher(None, a, b, autojunk=False).get_opcodes():
                if op != "equal" and is_han(a[i1:i2] + b[j1:j2]):
                    count += max(i2 - i1, j2 - j1)
                    errors.append(f"{a[max(0, i1 - 4):i2 + 4]}\t{b[max(0, j1 - 4):j2 + 4]}")
            continue
        for i, (x, y) in enumerate(zip(a, b)):
            # A form no Simplified character gives back (the original's own
            # Simplified or odd characters) is no converter's fault.
            recoverable = len(s) != len(a) or (x in forms[s[i]] if s[i] in forms else x == s[i])
            if x != y and is_han(x) and frozenset((x, y)) not in pairs and recoverable:
                count += 1
                errors.append(f"{x}->{y}\t{a[max(0, i - 4):i + 5]}")
    return count


def main():
    args = sys.argv[1:]
    tool = args.pop(0)
    error_dir = None
    if "--errors" in args:
        i = args.index("--errors")
        error_dir = args[i + 1]
        del args[i:i + 2]
    pairs, forms = variant_pairs()
    print(f"{'corpus':12} {'chars':>9} {'ours':>7} {'opencc':>7} {'lenient':>8} {'opencc':>7}"
          "   (wrong per 10,000 characters)")
    for spec in args:
        name, _, path = spec.partition("=")
        original = read_corpus(path)
        simplified = run(["opencc", "-c", "t2s"], original)
        ours = run([tool, "convert", "--to-traditional"], simplified)
        theirs = run(["opencc", "-c", "s2twp"], simplified)
        han = sum(1 for c in original if "\u3400" <= c <= "\u9fff")
        ours_errors, their_errors = [], []
        a = wrong(original, simplified, ours, pairs, forms, ours_errors)
        b = wrong(original, simplified, theirs, pairs, forms, their_errors)
        lenient = [wrong(original, simplified, out, pairs | INTERCHANGEABLE, forms, []) for out in (ours, theirs)]
        print(f"{name:12} {han:9d} {a * 10000 / max(han, 1):7.2f} {b * 10000 / max(han, 1):7.2f}"
              f" {lenient[0] * 10000 / max(han, 1):8.2f} {lenient[1] * 10000 / max(han, 1):7.2f}")
        if error_dir:
            os.makedirs(error_dir, exist_ok=True)
            for who, errs in (("ours", ours_errors), ("opencc", their_errors)):
                with open(os.path.join(error_dir, f"{name}.{who}.txt"), "w", encoding="utf-8") as f:
                    for e, n in collections.Counter(errs).most_common():
                        f.write(f"{n}\t{e}\n")


if __name__ == "__main__":
    main()
