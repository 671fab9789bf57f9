#!/usr/bin/env python3
"""Checks the program's manifest against what Windows XP SP3's side-by-side loader accepts, since a
manifest it rejects keeps the program from starting at all ("The application failed to start
because its side-by-side configuration is incorrect"). XP knows the asm.v1 schema alone: every
asm.v1 element must be one it knows, and what later Windows read (trustInfo, the DPI awareness) must
sit in an element of another namespace, which XP passes over. The identities must be in the form XP
parses: type win32, a four-part version, a known architecture. And the DPI awareness must be the
form that Vista to 11 read: asm.v3 application, windowsSettings, dpiAware "true".
Usage: check-manifest.py MANIFEST"""
import re
import sys
import xml.etree.ElementTree as ET

V1 = "{urn:schemas-microsoft-com:asm.v1}"
V3 = "{urn:schemas-microsoft-com:asm.v3}"
SMI2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
XP_V1_ELEMENTS = {"assembly", "assemblyIdentity", "description", "dependency", "dependentAssembly",
                  "file", "comClass", "typelib", "windowClass", "noInherit", "noInheritable"}


def problems(root):
    if root.tag != V1 + "assembly" or root.get("manifestVersion") != "1.0":
        yield "the root is not an asm.v1 assembly of manifestVersion 1.0"
    for element in root.iter():
        if element.tag.startswith(V1) and element.tag[len(V1):] not in XP_V1_ELEMENTS:
            yield f"XP does not know the asm.v1 element {element.tag[len(V1):]}"
        if element.tag == V1 + "assemblyIdentity":
            if element.get("type") != "win32" or not re.fullmatch(r"\d+\.\d+\.\d+\.\d+", element.get("version", "")):
                yield f"an identity XP cannot parse: {element.attrib}"
            if element.get("processorArchitecture") not in ("*", "x86", "X86"):
                yield f"an architecture XP does not know: {element.get('processorArchitecture')}"
    for child in root:
        if not child.tag.startswith(V1) and not child.tag.startswith(V3):
            yield f"an element XP may not pass over: {child.tag}"
    aware = root.findall(f"{V3}application/{V3}windowsSettings/{SMI2005}dpiAware")
    if [element.text for element in aware] != ["true"]:
        yield "the program does not declare itself DPI aware for the whole system"


def main():
    found = list(problems(ET.parse(sys.argv[1]).getroot()))
    for problem in found:
        print(f"{sys.argv[1]}: {problem}", file=sys.stderr)
    if not found:
        print(f"{sys.argv[1]}: a manifest Windows XP SP3 accepts, DPI aware on Vista to 11")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
