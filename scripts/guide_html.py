#!/usr/bin/python3
"""Turns the Chinese operator's guide (Markdown, UTF-8) into one HTML file with its screenshots inside,
which a browser on Windows opens as it is. Usage: guide_html.py docs/使用说明.md out.html"""
import base64
import html
import pathlib
import re
import sys

import markdown
from markdown.extensions.toc import TocExtension, slugify_unicode

# Made for an office screen of 1366x768: nothing needs sideways scrolling. Long lines of preformatted
# text wrap, long paths break where they must, a table of short names keeps its first column on one line,
# and the transfer record's example spreads over the whole window as Excel shows it: its paths and texts
# wrap, its short columns (time, number, run, size, result, computer and user) do not.
STYLE = """
body { font-family: "Microsoft YaHei", "SimSun", sans-serif; max-width: 60em; margin: 2em auto; padding: 0 1em;
       line-height: 1.6; color: #222; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #bbb; padding: 0.3em 0.6em; vertical-align: top; overflow-wrap: break-word; }
th { background: #eee; }
table.names td:first-child, table.names th:first-child { white-space: nowrap; }
pre { background: #f4f4f4; padding: 0.8em; white-space: pre-wrap; overflow-wrap: anywhere; }
code { font-family: Consolas, "NSimSun", monospace; }
img { border: 1px solid #ccc; max-width: 100%; }
.record { width: calc(100vw - 3em); position: relative; left: 50%; transform: translateX(-50%); font-size: 0.8em; }
.record table { width: 100%; }
.record td, .record th { padding: 0.2em 0.3em; white-space: nowrap; }
.record td:nth-child(4), .record td:nth-child(5), .record td:nth-child(8), .record td:nth-child(9) {
    white-space: normal; overflow-wrap: anywhere; }
.record td:nth-child(10) { white-space: normal; }
.contact { border: 2px dashed #c60; background: #fff6e8; padding: 0.2em 1em; margin: 1em 0; }
"""

# A first column whose cells are all this short holds names, which must not break.
NAME_LENGTH = 16


def join_chinese_lines(body):
    """A line break inside a paragraph shows as a blank, which Chinese text has none of: outside <pre>,
    breaks next to a Chinese character or punctuation mark are removed."""
    parts = re.split(r"(<pre>.*?</pre>)", body, flags=re.S)
    for i in range(0, len(parts), 2):
        parts[i] = re.sub(r"(?<=[^\x00-\x7f])\n[ \t]*|\n[ \t]*(?=[^\x00-\x7f])", "", parts[i])
    return "".join(parts)


def mark_name_tables(body):
    """Gives the class "names" to each table whose first column holds only short texts."""
    def mark(match):
        table = match.group(0)
        first = re.findall(r"<tr>\s*<t[hd][^>]*>(.*?)</t[hd]>", table, flags=re.S)
        texts = [html.unescape(re.sub(r"<[^>]+>", "", cell)).strip() for cell in first]
        if texts and max(len(text) for text in texts) <= NAME_LENGTH:
            return table.replace("<table>", '<table class="names">', 1)
        return table
    return re.sub(r"<table>.*?</table>", mark, body, flags=re.S)


def main(source, target):
    source, target = pathlib.Path(source), pathlib.Path(target)
    text = source.read_text("utf-8")
    body = markdown.markdown(text, extensions=["tables", "fenced_code", "md_in_html",
                                               TocExtension(slugify=slugify_unicode)])

    def inline(match):
        picture = (source.parent / html.unescape(match.group(2))).read_bytes()
        return match.group(1) + "data:image/png;base64," + base64.b64encode(picture).decode("ascii") + '"'

    body = re.sub(r'(<img [^>]*src=")([^"]+\.png)"', inline, body)
    body = join_chinese_lines(body)
    body = mark_name_tables(body)
    title = re.search(r"^# (.+)$", text, re.M).group(1)
    page = ('<!DOCTYPE html>\n<html lang="zh-CN">\n<head>\n<meta charset="utf-8">\n'
            f"<title>{html.escape(title)}</title>\n<style>{STYLE}</style>\n</head>\n<body>\n{body}\n</body>\n</html>\n")
    target.write_text(page, "utf-8", newline="\r\n")


if __name__ == "__main__":
    main(*sys.argv[1:3])
