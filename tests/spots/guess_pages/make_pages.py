#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the sample spot pages that the template guess is measured on: several pages of each
# shape spot sites use (table rows, div/li cards, definition lists, and this program's own
# record format), each with a file <page>.expected holding the call and frequency of every
# spot in page order (tab-separated; an empty frequency where the page shows none), and
# pages.tsv listing shape, page, example call and example frequency. Run it again after
# changing it; the output is the same every time (fixed seeds).
import html
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))

BANDS = [(1810, 1830), (3510, 3560), (7000, 7040), (7070, 7200), (10110, 10140),
         (14010, 14080), (14150, 14300), (18070, 18160), (21010, 21300), (24900, 24980),
         (28010, 28600), (50100, 50300)]
MODES = ["CW", "SSB", "FT8", "FT4", "RTTY", "FM", "AM", "PSK31"]
PREFIXES = ["JA", "JH", "JR", "JE", "JF", "JG", "JI", "JJ", "JK", "JL", "JM", "JN", "JO",
            "JP", "JQ", "JS", "7K", "7L", "7M", "7N", "8J"]
DX = ["VK2", "W1", "K6", "DL1", "G4", "F5", "UA9", "BV2", "HL5", "DU1", "YB0", "ZL1", "VE3",
      "PY2", "LU1", "9M2", "3D2", "E51", "KH6", "VU2"]
COMMENTS_EN = ["tnx qso", "up 1", "cq test", "599 tu", "pse qsl", "loud", "qrz?", "nice sig",
               "via buro", "POTA JA-1234", "SOTA JA/TK-001", "new one", "73"]
COMMENTS_JA = ["ありがとうございました", "移動運用", "信号強い", "ＱＳＢあり", "コンテスト中",
               "道の駅 とよはし", "ＣＱ連発", "よく聞こえます"]
CITIES_JA = ["東京都 千代田区", "大阪府 大阪市", "愛知県 豊橋市", "北海道 札幌市",
             "福岡県 福岡市", "宮城県 仙台市"]


class Spots:
    def __init__(self, seed, n):
        r = random.Random(seed)
        self.rows = []
        used = set()
        for i in range(n):
            while True:
                if r.random() < 0.75:
                    call = r.choice(PREFIXES) + str(r.randint(0, 9)) + "".join(
                        r.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ") for _ in range(r.choice([2, 3, 3])))
                else:
                    call = r.choice(DX) + "".join(
                        r.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ") for _ in range(r.choice([2, 3])))
                if r.random() < 0.06:
                    call += r.choice(["/1", "/P", "/QRP", "/7"])
                if call not in used:
                    used.add(call)
                    break
            lo, hi = r.choice(BANDS)
            khz = r.randint(lo * 10, hi * 10) / 10
            mode = r.choice(MODES)
            hh, mm = r.randint(0, 23), r.randint(0, 59)
            day = r.randint(1, 28)
            spotter = r.choice(PREFIXES) + str(r.randint(0, 9)) + "".join(
                r.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ") for _ in range(3))
            self.rows.append(dict(
                call=call, khz=khz, mode=mode, hh=hh, mm=mm, day=day, spotter=spotter,
                en=r.choice(COMMENTS_EN), ja=r.choice(COMMENTS_JA), city=r.choice(CITIES_JA),
                code=str(r.randint(1001, 4812)) if r.random() < 0.5 else str(r.randint(100101, 480201)),
                km=r.randint(3, 2000), serial=1000 + i,
                empty_freq=r.random() < 0.04, empty_mode=r.random() < 0.12,
                empty_cmt=r.random() < 0.25, missing_cmt=r.random() < 0.2,
                missing_mode=r.random() < 0.1, rnd=r.random()))


def f1(khz):       # 7010.5
    return "%.1f" % khz


def fcomma(khz):   # 7,010.5
    whole = int(khz)
    return "{:,}".format(whole) + ".%d" % round((khz - whole) * 10)


def fmhz(khz):     # 7.0105
    return ("%.4f" % (khz / 1000)).rstrip("0").rstrip(".") if khz % 1 else "%.3f" % (khz / 1000)


def write(name, text, encoding, expected):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(text.replace("\n", "\r\n").encode(encoding))
    with open(os.path.join(HERE, name + ".expected"), "w", encoding="utf-8", newline="\n") as f:
        for call, freq in expected:
            f.write(call + "\t" + freq + "\n")


def head(title, charset):
    return ("<!DOCTYPE html>\n<html><head><meta charset=\"%s\"><title>%s</title>\n"
            "<style>td{padding:2px}</style></head>\n<body>\n<h1>%s</h1>\n"
            "<p class=\"info\">Last update 2026/12/10 12:00 UTC &nbsp;|&nbsp; <a href=\"/\">top</a></p>\n"
            % (charset, title, title))


FOOT = "<p class=\"foot\">&copy; spot net &amp; friends</p>\n</body></html>\n"


# --- table rows -------------------------------------------------------------------------------

def table_classes(s):
    out = [head("DX Spots", "utf-8"), "<table class=\"spots\">\n<thead><tr><th>UTC</th><th>DX</th>"
           "<th>Freq</th><th>Mode</th><th>Comment</th><th>Spotter</th></tr></thead>\n<tbody>\n"]
    exp = []
    for i, x in enumerate(s.rows):
        freq = "" if x["empty_freq"] else f1(x["khz"])
        mode = "&nbsp;" if x["empty_mode"] else x["mode"]
        cmt = "" if x["empty_cmt"] else html.escape(x["en"])
        out.append("<tr class=\"%s\">\n  <td class=\"time\">%02d%02dZ</td>\n"
                   "  <td class=\"dx\"><a href=\"/dx/%s\" title=\"%s\">%s</a></td>\n"
                   "  <td class=\"freq\">%s</td>\n  <td class=\"mode\">%s</td>\n"
                   "  <td class=\"comment\">%s</td>\n  <td class=\"spotter\">%s</td>\n</tr>\n"
                   % ("odd" if i % 2 else "even", x["hh"], x["mm"], x["call"], x["call"],
                      x["call"], freq, mode, cmt, x["spotter"]))
        exp.append((x["call"], freq))
    out.append("</tbody>\n</table>\n" + FOOT)
    return "".join(out), exp


def table_attrs(s):
    out = [head("スポット情報", "Shift_JIS"),
           "<TABLE border=1 cellspacing=0>\n<TR bgcolor=\"#ccccff\"><TH>日付</TH><TH>時刻</TH>"
           "<TH>コール</TH><TH>周波数</TH><TH>モード</TH><TH>コメント</TH></TR>\n"]
    exp = []
    for x in s.rows:
        freq = "" if x["empty_freq"] else fcomma(x["khz"])
        mode = "" if x["empty_mode"] else x["mode"]
        cmt = "&nbsp;" if x["empty_cmt"] else x["ja"]
        out.append("<TR><TD nowrap>2026/12/%02d</TD><TD nowrap>%02d:%02d</TD>"
                   "<TD class=call><B>%s</B></TD><TD align=right>%s</TD><TD>%s</TD>"
                   "<TD><FONT color=\"#008000\">%s</FONT></TD></TR>\n"
                   % (x["day"], x["hh"], x["mm"], x["call"], freq, mode, cmt))
        exp.append((x["call"], freq))
    out.append("</TABLE>\n" + FOOT)
    return "".join(out), exp


def table_plain_first(s):
    out = [head("Cluster", "iso-8859-1"), "<table width=\"100%\" border=\"0\">\n"
           "<tr><th>Call</th><th>QRG</th><th>Mode</th><th>Time</th><th>Info</th></tr>\n"]
    exp = []
    for i, x in enumerate(s.rows):
        if i and i % 10 == 0:
            out.append("<tr><td colspan=\"5\"><hr></td></tr>\n")
        freq = "" if x["empty_freq"] else f1(x["khz"])
        mode = "" if x["empty_mode"] else x["mode"]
        cmt = "" if x["empty_cmt"] else html.escape(x["en"])
        out.append("<tr><td><a href=\"spot.cgi?c=%s\">%s</a></td><td align=\"right\">%s</td>"
                   "<td>%s</td><td>%02d:%02d</td><td>%s</td></tr>\n"
                   % (x["call"], x["call"], freq, mode, x["hh"], x["mm"], cmt))
        exp.append((x["call"], freq))
    out.append("</table>\n" + FOOT)
    return "".join(out), exp


# --- cards ------------------------------------------------------------------------------------

def cards_div(s):
    out = [head("Live spots", "utf-8"), "<div class=\"list\">\n"]
    exp = []
    for x in s.rows:
        freq = "" if x["empty_freq"] else f1(x["khz"]) + " kHz"
        body = ["<span class=\"time\">%02d:%02d</span>" % (x["hh"], x["mm"])]
        if not x["missing_mode"]:
            body.append("<span class=\"mode\">%s</span>" % x["mode"])
        if not x["missing_cmt"]:
            body.append("<span class=\"cmt\">%s</span>" % html.escape(x["ja"]))
        out.append("<div class=\"spot\">\n  <div class=\"head\"><span class=\"call\">"
                   "<a href=\"/dx/%s\">%s</a></span> <span class=\"freq\">%s</span></div>\n"
                   "  <div class=\"body\">%s</div>\n</div>\n"
                   % (x["call"], x["call"], freq, " ".join(body)))
        exp.append((x["call"], freq))
    out.append("</div>\n" + FOOT)
    return "".join(out), exp


def cards_li(s):
    out = [head("最新スポット", "Shift_JIS"), "<ul class=\"spots\">\n"]
    exp = []
    for x in s.rows:
        freq = "" if x["empty_freq"] else fmhz(x["khz"])
        mode = "" if x["empty_mode"] else x["mode"]
        out.append("  <li class=\"spot\"><b class=\"dx\">%s</b> <span class=\"qrg\">%s</span>MHz "
                   "<span class=\"mode\">%s</span> <i class=\"by\">de %s</i> "
                   "<small>%02d:%02d</small></li>\n"
                   % (x["call"], freq, mode, x["spotter"], x["hh"], x["mm"]))
        exp.append((x["call"], freq))
    out.append("</ul>\n" + FOOT)
    return "".join(out), exp


def cards_nested(s):
    out = [head("Spot board", "utf-8"), "<section id=\"board\">\n"]
    exp = []
    for x in s.rows:
        freq = "" if x["empty_freq"] else f1(x["khz"])
        extra = "" if x["missing_cmt"] else "<p class=\"note\">%s</p>" % html.escape(x["en"])
        out.append("<div class=\"card\" id=\"s%d\"><div class=\"row\"><div class=\"cell\">"
                   "<strong>%s</strong></div><div class=\"cell\"><em>%s</em></div></div>"
                   "<div class=\"row\"><div class=\"cell\">%s</div><div class=\"cell\">"
                   "2026-12-%02d %02d:%02d</div></div>%s</div>\n"
                   % (x["serial"], x["call"], freq, x["mode"], x["day"], x["hh"], x["mm"], extra))
        exp.append((x["call"], freq))
    out.append("</section>\n" + FOOT)
    return "".join(out), exp


# --- definition lists -------------------------------------------------------------------------

def dl_groups(s):
    out = [head("Spots", "utf-8"), "<dl>\n"]
    exp = []
    for x in s.rows:
        freq = "" if x["empty_freq"] else f1(x["khz"])
        out.append("<dt>%s</dt>\n<dd>%s</dd>\n<dd>%s</dd>\n<dd>%02d%02dZ</dd>\n"
                   % (x["call"], freq, x["mode"], x["hh"], x["mm"]))
        if not x["missing_cmt"]:
            out.append("<dd>%s</dd>\n" % html.escape(x["en"]))
        exp.append((x["call"], freq))
    out.append("</dl>\n" + FOOT)
    return "".join(out), exp


def dl_each(s):
    out = [head("スポット", "Shift_JIS")]
    exp = []
    for x in s.rows:
        freq = "" if x["empty_freq"] else f1(x["khz"])
        out.append("<dl class=\"spot\"><dt>DX</dt><dd class=\"call\">%s</dd>"
                   "<dt>QRG</dt><dd class=\"freq\">%s</dd><dt>Mode</dt><dd class=\"mode\">%s</dd>"
                   "<dt>QTH</dt><dd class=\"qth\">%s</dd><dt>UTC</dt><dd class=\"time\">%02d:%02d</dd></dl>\n"
                   % (x["call"], freq, "" if x["empty_mode"] else x["mode"], x["city"],
                      x["hh"], x["mm"]))
        exp.append((x["call"], freq))
    out.append(FOOT)
    return "".join(out), exp


def dl_links(s):
    out = [head("Spots by band", "Shift_JIS"), "<dl class=\"spots\">\n"]
    exp = []
    for x in s.rows:
        freq = "" if x["empty_freq"] else f1(x["khz"])
        out.append("<dt><a href=\"/q?call=%s\">%s</a> <span class=\"t\">%02d:%02d</span></dt>"
                   "<dd class=\"f\">%s</dd><dd class=\"m\">%s</dd><dd class=\"c\">%s</dd>\n"
                   % (x["call"], x["call"], x["hh"], x["mm"], freq,
                      "" if x["empty_mode"] else x["mode"],
                      "" if x["empty_cmt"] else x["ja"]))
        exp.append((x["call"], freq))
    out.append("</dl>\n" + FOOT)
    return "".join(out), exp


# --- this program's own record format ---------------------------------------------------------

def default_rows(s, sparse=False):
    out = [head("DX spots", "Shift_JIS"), "<table>\n"]
    exp = []
    for i, x in enumerate(s.rows):
        freq = "" if x["empty_freq"] else "{:,}".format(int(x["khz"]))
        qthfrom = "" if sparse and x["rnd"] < 0.3 else "<font title='%s'><QthFrom>%s</QthFrom></font>" % (
            x["city"], x["code"])
        cmt = "" if sparse and x["missing_cmt"] else "<Comments>%s</Comments>" % x["ja"]
        out.append("<tr><td><LineStart><!--%d--></LineStart></td><td><Date>2026/12/%02d</Date></td>"
                   "<td><Time>%02d:%02d</Time></td><td><CallSignTo>%s</CallSignTo></td>"
                   "<td><Freq>%s</Freq></td><td><Mode>%s</Mode></td><td><Qth>%s</Qth></td>"
                   "<td><QthName>%s</QthName></td><td><Distance>%dkm</Distance></td><td>%s</td>"
                   "<td><CallSignFrom>%s</CallSignFrom></td><td>%s</td></LineEnd></tr>\n"
                   % (i, x["day"], x["hh"], x["mm"], x["call"], freq, x["mode"], x["code"],
                      x["city"], x["km"], cmt, x["spotter"], qthfrom))
        exp.append((x["call"], freq))
    out.append("</table>\n" + FOOT)
    return "".join(out), exp


PAGES = [
    # shape, file, builder, seed, records, encoding, example record, give the frequency
    ("table", "table_classes.html", table_classes, 11, 120, "utf-8", 0, False),
    ("table", "table_attrs.html", table_attrs, 12, 80, "cp932", 3, True),
    ("table", "table_plain_first.html", table_plain_first, 13, 150, "latin-1", 1, False),
    ("cards", "cards_div.html", cards_div, 21, 100, "utf-8", 0, True),
    ("cards", "cards_li.html", cards_li, 22, 60, "cp932", 2, True),
    ("cards", "cards_nested.html", cards_nested, 23, 140, "utf-8", 0, False),
    ("dl", "dl_groups.html", dl_groups, 31, 90, "utf-8", 0, False),
    ("dl", "dl_each.html", dl_each, 32, 70, "cp932", 5, True),
    ("dl", "dl_links.html", dl_links, 33, 200, "cp932", 0, False),
    ("default", "default_rows.html", default_rows, 41, 100, "cp932", 0, False),
    ("default", "default_sparse.html", lambda s: default_rows(s, True), 42, 60, "cp932", 1, True),
]


def main():
    manifest = ["# shape\tpage\texample call\texample frequency (as the page writes it)\n"]
    for shape, name, build, seed, n, enc, example, give_freq in PAGES:
        spots = Spots(seed, n)
        # The example record always shows its frequency.
        spots.rows[example]["empty_freq"] = False
        text, exp = build(spots)
        write(name, text, enc, exp)
        call, freq = exp[example]
        manifest.append("%s\t%s\t%s\t%s\n" % (shape, name, call, freq if give_freq else ""))
    with open(os.path.join(HERE, "pages.tsv"), "w", encoding="utf-8", newline="\n") as f:
        f.writelines(manifest)


if __name__ == "__main__":
    main()
