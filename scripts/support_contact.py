#!/usr/bin/python3
"""Puts the distributor's support contact (docs/support-contact.txt, or the file QRVLNK_SUPPORT_CONTACT
names) in place of the guide's placeholder in each UTF-8 file given; with --nsh OUT, also writes an NSIS
header that defines CONTACT, when there is a contact. Usage: support_contact.py [--nsh OUT] FILE..."""
import os
import pathlib
import sys

PLACEHOLDER = "【由经销商填写：联系人、电话、电子邮件】"
ROOT = pathlib.Path(__file__).resolve().parent.parent


def contact():
    path = pathlib.Path(os.environ.get("QRVLNK_SUPPORT_CONTACT") or ROOT / "docs/support-contact.txt")
    lines = [line.strip() for line in path.read_text(encoding="utf-8").splitlines()]
    return "；".join(line for line in lines if line and not line.startswith("#"))


def main(arguments):
    text = contact()
    if arguments[:1] == ["--nsh"]:
        nsh = pathlib.Path(arguments[1])
        arguments = arguments[2:]
        # In an NSIS string "$" and the quote are escaped.
        escaped = text.replace("$", "$$").replace('"', '$\\"')
        nsh.write_text(f'!define CONTACT "{escaped}"\n' if text else "", encoding="utf-8")
    for name in arguments:
        path = pathlib.Path(name)
        if text:
            path.write_text(path.read_text(encoding="utf-8").replace(PLACEHOLDER, text), encoding="utf-8")


if __name__ == "__main__":
    main(sys.argv[1:])
