#!/usr/bin/env python3
"""Learns which characters stand beside the Traditional characters that one
Simplified character can stand for, from classical Traditional text.

Usage: learn_context.py POETRY_DIST STCHARACTERS.txt TWVARIANTSREV.txt TWPHRASES.txt OUT PHRASES_OUT

Makes data/convert/context.txt and data/convert/classical_phrases.txt, which
the build compiles into the conversion table. POETRY_DIST is the dist folder of the npm package chinese-poetry
(version 2.0.1, installed with npm into a scratch folder). The two tables are
OpenCC's as text: opencc_dict -i /usr/share/opencc/X.ocd2 -o X.txt -f ocd2
-t text. Only the package's files written in Traditional characters are read
(much of it is Simplified), and none of Tang poetry: that is kept apart to
check the converter on. The Song poems numbered from
250000 on are kept apart too, to tune on.

OUT lists, one a line, "<char>\t<count>" for every character seen at least
twice, then "<a><b>\t<count>" for every pair of neighbours seen at least
twice where a or b is one of the ambiguous candidates; '#' stands for the
start or end of a line. The output is sorted, so the same input gives the
same bytes.

PHRASES_OUT lists, one a line and sorted, the keys of Taiwan's modern words
(TWPHRASES) that classical text itself writes, such as 消息 or 萬象: the
converter gives Taiwan's word for these only in modern text.
"""
import collections
import json
import os
import sys

HELD_OUT = ("poet.tang.", "唐诗", "tangshisanbaishou", "quantangshi/error", "yudingquantangshi",
            "shuimotangshi", "qianjiashi", "表面结构字")
TUNING_FROM = 250000
# Punctuation as the converter sees it around a character: every quote is
# one mark, and ASCII punctuation is its full-width form. Keep in step with
# contextChar in src/text/traditional.cpp.
PUNCTUATION = str.maketrans({**{q: "「" for q in "\"'“”‘’「」『』"},
                             **dict(zip(",:;?!()", "，：；？！（）"))})


def read_dict(path):
    table = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            key, _, values = line.rstrip("\n").partition("\t")
            table[key] = values.split(" ")
    return table


def texts(node):
    if isinstance(node, str):
        yield node
    elif isinstance(node, list):
        for item in node:
            yield from texts(item)
    elif isinstance(node, dict):
        for key in ("paragraphs", "content", "para"):
            if key in node:
                yield from texts(node[key])


def main():
    dist, st_path, rev_path, tw_path, out_path, phrases_out = sys.argv[1:7]
    st = read_dict(st_path)
    rev = {k: v[0] for k, v in read_dict(rev_path).items() if len(k) == 1}
    ambiguous = set()
    for values in st.values():
        if len(values) > 1:
            ambiguous.update(values)
    # Characters that only Simplified writes: a file holding many is not Traditional.
    simplified_only = {k for k, v in st.items() if len(k) == 1 and k not in v}

    files = []
    for root, _, names in os.walk(dist):
        for name in names:
            path = os.path.join(root, name)
            rel = os.path.relpath(path, dist)
            if not name.endswith(".json") or any(h in rel for h in HELD_OUT):
                continue
            if "rank" in rel.split(os.sep):
                continue
            if name.startswith("poet.song.") and int(name.split(".")[2]) >= TUNING_FROM:
                continue
            files.append(path)
    files.sort()

    tw_keys = {k for k in read_dict(tw_path) if len(k) >= 2}
    tw_lengths = sorted({len(k) for k in tw_keys})
    tw_starts = {k[0] for k in tw_keys}
    tw_seen = collections.Counter()
    unigrams = collections.Counter()
    bigrams = collections.Counter()
    for path in files:
        try:
            with open(path, encoding="utf-8") as f:
                data = json.load(f)
        except (ValueError, OSError):
            continue
        lines = ["".join(rev.get(c, c) for c in t).translate(PUNCTUATION) for t in texts(data)]
        chars = sum(len(t) for t in lines)
        odd = sum(1 for t in lines for c in t if c in simplified_only)
        if chars == 0 or odd * 20 > chars:
            print("skipped (not Traditional):", os.path.relpath(path, dist), file=sys.stderr)
            continue
        for t in lines:
            t = "#" + t.replace("#", "") + "#"
            unigrams.update(t[1:-1])
            for i, c in enumerate(t):
                if c in tw_starts:
                    tw_seen.update(t[i:i + n] for n in tw_lengths if t[i:i + n] in tw_keys)
            for a, b in zip(t, t[1:]):
                if a in ambiguous or b in ambiguous:
                    bigrams[a + b] += 1
    with open(out_path, "w", encoding="utf-8") as out:
        for c, n in sorted(unigrams.items()):
            if n >= 2 and c not in "\t#":
                out.write(f"{c}\t{n}\n")
        for ab, n in sorted(bigrams.items()):
            if n >= 2 and "\t" not in ab:
                out.write(f"{ab}\t{n}\n")
    with open(phrases_out, "w", encoding="utf-8") as out:
        for key, n in sorted(tw_seen.items()):
            if n >= 2:
                out.write(f"{key}\n")


if __name__ == "__main__":
    main()
