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

STYLE = """
body { font-family: "Microsoft YaHei", "SimSun", sans-serif; max-width: 60em; margin: 2em auto; padding: 0 1em;
       line-height: 1.6; color: #222; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #bbb; padding: 0.3em 0.6em; vertical-align: top; }
th { background: #eee; }
pre { background: #f4f4f4; padding: 0.8em; overflow-x: auto; }
code { font-family: Consolas, "NSimSun", monospace; }
img { border: 1px solid #ccc; }
"""


def join_chinese_lines(body):
    """A line break inside a paragraph shows as a blank, which Chinese text has none of: outside <pre>,
    breaks next to a Chinese character or punctuation mark are removed."""
    parts = re.split(r"(<pre>.*?</pre>)", body, flags=re.S)
    for i in range(0, len(parts), 2):
        parts[i] = re.sub(r"(?<=[^\x00-\x7f])\n[ \t]*|\n[ \t]*(?=[^\x00-\x7f])", "", parts[i])
    return "".join(parts)


def main(source, target):
    source, target = pathlib.Path(source), pathlib.Path(target)
    text = source.read_text("utf-8")
    body = markdown.markdown(text, extensions=["tables", "fenced_code", TocExtension(slugify=slugify_unicode)])

    def inline(match):
        picture = (source.parent / html.unescape(match.group(2))).read_bytes()
        return match.group(1) + "data:image/png;base64," + base64.b64encode(picture).decode("ascii") + '"'

    body = re.sub(r'(<img [^>]*src=")([^"]+\.png)"', inline, body)
    body = join_chinese_lines(body)
    title = re.search(r"^# (.+)$", text, re.M).group(1)
    page = ('<!DOCTYPE html>\n<html lang="zh-CN">\n<head>\n<meta charset="utf-8">\n'
            f"<title>{html.escape(title)}</title>\n<style>{STYLE}</style>\n</head>\n<body>\n{body}\n</body>\n</html>\n")
    target.write_text(page, "utf-8", newline="\r\n")


if __name__ == "__main__":
    main(*sys.argv[1:3])
