#!/usr/bin/env python3
"""Word-level agreement of two texts: the share of words that both hold in the same order.

    word_agreement.py ours.txt theirs.txt [--diff N]

Prints the agreement 2*M/(A+B) in percent, where M is the number of words matched in order
(longest matching blocks) and A, B the word counts; with --diff, the first N differing runs.
Words are runs of letters and digits (lynx draws rules with "_"); case is kept.
"""
import difflib
import re
import sys

WORD = re.compile(r"[^\W_]+", re.UNICODE)


def words(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return WORD.findall(f.read())


def main():
    args = sys.argv[1:]
    show = 0
    if "--diff" in args:
        i = args.index("--diff")
        show = int(args[i + 1])
        del args[i:i + 2]
    a, b = words(args[0]), words(args[1])
    matcher = difflib.SequenceMatcher(None, a, b, autojunk=False)
    matched = sum(block.size for block in matcher.get_matching_blocks())
    total = len(a) + len(b)
    agreement = 100.0 if total == 0 else 200.0 * matched / total
    print(f"{agreement:.2f} {len(a)} {len(b)}")
    for tag, i1, i2, j1, j2 in [op for op in matcher.get_opcodes() if op[0] != "equal"][:show]:
        print(f"  {tag}: ours[{' '.join(a[i1:i2])[:80]}] theirs[{' '.join(b[j1:j2])[:80]}]")


if __name__ == "__main__":
    main()
