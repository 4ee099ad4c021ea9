#!/usr/bin/env python3
"""Writes the fuzzers' seeds into tests/fuzz/seeds: real inputs and hand-made edge cases.

    tests/fuzz/make_seeds.py build/native/tools/pack_lang

archive/          (archive_fuzz) the shipped archive as the exe carries it, small archives packed
                  from hand-made sources, and damaged ones
archive_text/     (archive_text_fuzz, text_builders_fuzz) the shipped archive's decoded text, each of
                  its sections as a language file, and hand-made texts the packer would refuse
settings_number/  stored setting texts, as the registry gives them
command_line/     command lines the program is started with, and near misses
language_file/    (language_file_fuzz) language files as translators' editors save them: UTF-16 with
                  its mark, UTF-8 with and without its mark, ANSI, line ends of every kind, and files
                  that hold nothing readable

Every text seed but the language files is UTF-16LE, as those targets read their input. Run it again after res/lang changes;
the seeds need not follow every change, they only have to reach the code.
"""
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SEEDS = os.path.join(ROOT, "tests", "fuzz", "seeds")
START = b"\n<!- ------SDSGDGSDHREETETBCNMJUKR----------\n"
END = b"\n-------SDSGDGSDHREETETBCNMJUKR-------- -->\n"


def utf16(text):
    return text.encode("utf-16-le", "surrogatepass")


def write(folder, name, data):
    os.makedirs(os.path.join(SEEDS, folder), exist_ok=True)
    with open(os.path.join(SEEDS, folder, name), "wb") as f:
        f.write(data)


def pack(pack_lang, files):
    """Packs a hand-made res/lang folder; returns (archive bytes, text bytes)."""
    with tempfile.TemporaryDirectory() as folder:
        files = dict({"preamble.txt": "Huepeek\n", "product.txt": "19=Huepeek 3.36\n"}, **files)
        for name, text in files.items():
            with open(os.path.join(folder, name), "w", encoding="utf-8", newline="") as f:
                f.write(text)
        archive, text = os.path.join(folder, "archive.bin"), os.path.join(folder, "text.bin")
        # Hand-made sources are no translations: packed without the check against English.
        subprocess.run([pack_lang, "--unchecked", folder, archive, text], check=True)
        with open(archive, "rb") as a, open(text, "rb") as t:
            return a.read(), t.read()


def archive_seeds(pack_lang):
    with tempfile.TemporaryDirectory() as folder:
        archive_path, text_path = os.path.join(folder, "a"), os.path.join(folder, "t")
        subprocess.run([pack_lang, os.path.join(ROOT, "res", "lang"), archive_path, text_path], check=True)
        archive, text = open(archive_path, "rb").read(), open(text_path, "rb").read()
    write("archive", "shipped_archive", archive)
    write("archive", "bare_payload", archive[len(START):-len(END) - 4])
    write("archive_text", "shipped_text", text)
    decoded = text.decode("utf-16-le")
    sections = decoded.split("##")
    write("archive_text", "section_product", utf16(sections[1]))
    for n, section in enumerate(sections[4:]):
        if section.startswith("="):
            write("archive_text", "section_%02d" % n, utf16("##" + section))

    english = "##=English\tEnglisch\nTranslatorName=Team\nTranslatorURL=https://example.org/t\n"
    english += "".join("%d=Text %d\n" % (i, i) for i in (20, 21, 22, 40, 41, 42, 43, 44, 45, 46, 47))
    # Slot 1 alone, slot 0 missing: a nameless section keeps English in its place.
    write("archive", "packed_english_only", pack(pack_lang, {"01-english.txt": english})[0])
    # A reference section longer than the loader's copy: cut at whole lines, a pair near the cut.
    long_lines = "".join("%d=%s\U0001F600\n" % (id, "x" * 600) for id in range(60, 80))
    write("archive", "packed_long_reference", pack(pack_lang, {"01-english.txt": english + long_lines})[0])
    # A text longer than the fuzzer decodes in full.
    many_lines = "".join("%d=%s %d\n" % (id % 255, "z" * 280, id) for id in range(300))
    write("archive", "packed_long_text", pack(pack_lang, {"01-english.txt": english + many_lines})[0])
    # Every one of the 48 slots taken.
    files = {"%02d-l.txt" % slot: "##=L%d\n20=t%d\n" % (slot, slot) for slot in range(48)}
    write("archive", "packed_48_slots", pack(pack_lang, files)[0])
    # Keys at and beyond the edges, duplicates, empty texts, escapes, product keys 0 and 127.
    edges = english + "254=last\n255=beyond\n-1=negative\n 40=blank\n4a0=four\n21=Abbruch\n55=\n61=a\\r\\nb\n"
    product = "0=zero\n19=Huepeek 3.36\n20=https://de.example\n21=https://example.org\n127=last\n128=no\n-1=no\n22=\\x\\r\\n\n"
    write("archive", "packed_edges", pack(pack_lang, {"preamble.txt": "P\n", "product.txt": product,
                                                       "00-german.txt": "##=German\n20=Beenden\n",
                                                       "01-english.txt": edges})[0])
    small = pack(pack_lang, {"01-english.txt": english})[0]
    write("archive", "no_checksum", small[:-4])
    write("archive", "empty_payload", START + END + bytes(4))
    write("archive", "declared_zero", START + bytes(4) + END + bytes(4))
    write("archive", "end_before_start", END + START + bytes(8) + END + bytes(4))

    # Texts the packer refuses, as the splitter and the parser may still meet them.
    head = "\ufeffHuepeek\r\n##\r\n19=Huepeek 3.36\r\n20=https://de.example\r\n##\r\n##\r\n"
    texts = {
        "text_49_headers": head + "".join("##=L%d\r\n20=t%d\r\n" % (n, n) for n in range(49)),
        "text_separator_in_a_line": head + "##=German\r\n20=Be##enden\r\n##=English\r\n20=Exit\r\n",
        "text_header_without_cr": head + "##=German",
        "text_nameless_slots": head + "##\r\n##\r\n20=x\r\n##=English\r\n20=Exit\r\n",
        "text_last_line_without_lf": head + "##\r\n##=English\r\n20=Exit\r\n42=Please",
        "text_lone_surrogates": head + "##\r\n##=English\r\n42=a\ud800\r\n43=\udc00b\r\n44=\ud83d\r\n",
        "text_long_help_lines": head + "##\r\n##=English\r\n"
        + "".join("%d=%s\U0001F600\r\n" % (id, "y" * 1000) for id in range(42, 47)),
        "text_long_site": "\ufeff##\r\n20=https://" + "d" * 1100 + "\r\n21=\r\n##\r\n##\r\n",
        "language_file": "##=Mine\r\n42=Bitte:\r\n43=eins\r\n44=zwei\r\n45=drei\r\n46=vier\r\n",
    }
    for name, text in texts.items():
        write("archive_text", name, utf16(text))
    write("archive_text", "odd_byte_count", utf16(head) + b"#")


def settings_number_seeds():
    values = ["0", "-5", "255", "16777215", " 42", "\t-7", "+3", "42abc", "abc", "", "-", "+-1",
              "2147483647", "-2147483648", "2147483648", "4294967295", "-4294967295",
              "99999999999999999999", "0x10", "\u00e4\u00f6", "\u0661\u0662", "１２", "1" * 511]
    for n, value in enumerate(values):
        write("settings_number", "value_%02d" % n, utf16(value))


def command_line_seeds():
    lines = ["", "-bg", "-bg -startup", "hide", "huepeek", "HUEPEEK", "Huepeek",
             "last_rgb_color_from_the_huepeek", "last_rgb_color_from_the_huepeek ",
             " last_rgb_color_from_the_huepeek", "last_rgb_color_from_the_huepee",
             "x-bgx hidehuepeek", "-b g", "\"C:\\a %PATH% b\\huepeek.exe\" last_rgb_color_from_the_huepeek",
             "last_rgb_color_from_the_huepeek\u0000-bg"]
    for n, line in enumerate(lines):
        write("command_line", "line_%02d" % n, utf16(line))


def language_file_seeds():
    lines = "TranslatorName=Anna\r\n20=Schlie\u00dfen\r\n21=\u0412\u044b\u0445\u043e\u0434\r\n47=\U0001F3A8 [1]\r\n"
    with open(os.path.join(ROOT, "tests", "unit", "lang", "golden", "translate_Huepeek.txt"), "rb") as f:
        write("language_file", "template_utf16", f.read())
    with open(os.path.join(ROOT, "res", "lang", "00-german.txt"), "rb") as f:
        write("language_file", "german_utf8", f.read())
    files = {
        "utf8_with_mark": b"\xef\xbb\xbf" + lines.encode("utf-8"),
        "utf8_cr_only": lines.replace("\r\n", "\r").encode("utf-8"),
        "utf8_damaged_after_mark": b"\xef\xbb\xbf20=a\xc3(\xf0\x9f\x8e\n21=\xed\xa0\x80\n",
        "ansi_lf_only": b"20=Schlie\xdfen\n21=Caf\xe9\n",
        "double_byte_truncated": b"20=\xd2\xed\r\n21=Abbruch\n40=",
        "utf16_zero_odd": b"\xff\xfe2\x000\x00=\x00\x00\x00x",
        "utf16_big_endian": b"\xfe\xff" + lines.encode("utf-16-be"),
        "mark_only_utf8": b"\xef\xbb\xbf",
        "mark_only_utf16": b"\xff\xfe",
        "empty": b"",
    }
    for name, data in files.items():
        write("language_file", name, data)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    for folder in ("archive", "archive_text", "settings_number", "command_line", "language_file"):
        shutil.rmtree(os.path.join(SEEDS, folder), ignore_errors=True)
    archive_seeds(sys.argv[1])
    settings_number_seeds()
    command_line_seeds()
    language_file_seeds()


if __name__ == "__main__":
    main()
