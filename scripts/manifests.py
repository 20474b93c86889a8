#!/usr/bin/env python3
"""Writes the package managers' manifests of one release zip: winget's multi-file
set (version, English default locale, Simplified Chinese locale, installer) and a
scoop app manifest. CPack runs it right after it packs the zip (cmake/Package.cmake);
every value comes from the build's own definitions, the zip and the release
setting, passed on the command line.

Standard library only: the YAML is written here, every string double-quoted
(JSON's escapes are valid YAML), so a version such as 2.1 stays a string."""
import argparse
import hashlib
import json
import os
import re

WINGET_MANIFEST_VERSION = "1.12.0"
DEFAULT_LOCALE = "en-US"
# The read-me's sections, in its order.
README_LOCALES = ["zh-CN", DEFAULT_LOCALE]
COPYRIGHT_DEFINES = {"zh-CN": "ABOUT_COPYRIGHT", DEFAULT_LOCALE: "ABOUT_COPYRIGHT_ENGLISH"}


def readme_summaries(path):
    """The first paragraph of each language's section of the user read-me."""
    with open(path, encoding="utf-8-sig") as f:
        lines = [line.rstrip() for line in f]
    heads = [i for i, line in enumerate(lines) if re.fullmatch(r"==== .+ ====", line)]
    if len(heads) != len(README_LOCALES):
        raise SystemExit("manifests: %s has %d language sections, not %d" % (path, len(heads), len(README_LOCALES)))
    out = {}
    for locale, head in zip(README_LOCALES, heads):
        para = []
        for line in lines[head + 1:]:
            if line.strip():
                para.append(line.strip())
            elif para:
                break
        # Chinese lines join without a space.
        out[locale] = ("" if locale.startswith("zh") else " ").join(para)
    if not re.search(r"[\u4e00-\u9fff]", out["zh-CN"]):
        raise SystemExit("manifests: the first section of %s is not the Chinese one" % path)
    return out


def first_sentence(text):
    m = re.match(r".+?[.。](?=\s|$)", text)
    return m.group(0) if m else text


def header_strings(path, names):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    out = {}
    for name in names:
        m = re.search(r'^#define %s "([^"]*)"$' % name, text, re.M)
        if not m:
            raise SystemExit("manifests: %s defines no %s" % (path, name))
        out[name] = m.group(1)
    return out


def yaml_lines(value, indent=""):
    lines = []
    if isinstance(value, dict):
        for key, v in value.items():
            if isinstance(v, (dict, list)):
                lines.append("%s%s:" % (indent, key))
                lines += yaml_lines(v, indent + "  ")
            else:
                lines.append("%s%s: %s" % (indent, key, json.dumps(v, ensure_ascii=False)))
    else:
        for item in value:
            if isinstance(item, (dict, list)):
                inner = yaml_lines(item, indent + "  ")
                lines.append(indent + "- " + inner[0][len(indent) + 2:])
                lines += inner[1:]
            else:
                lines.append("%s- %s" % (indent, json.dumps(item, ensure_ascii=False)))
    return lines


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    # LF and no byte-order mark, as the community repository keeps them.
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--zip", required=True, help="the release zip just packed")
    ap.add_argument("--out", required=True, help="folder that gets winget/ and scoop/")
    ap.add_argument("--version", required=True)
    ap.add_argument("--name", required=True, help="package name, also the Start-menu shortcut's")
    ap.add_argument("--publisher", required=True)
    ap.add_argument("--exe", required=True, help="the exe's name inside the zip")
    ap.add_argument("--homepage", required=True)
    ap.add_argument("--download-url", required=True, help="the folder URL the zip and its .sha256 are published in")
    ap.add_argument("--license", required=True)
    ap.add_argument("--readme", required=True, help="the user read-me, source of the descriptions")
    ap.add_argument("--about-text", required=True, help="the header that defines the copyright lines")
    a = ap.parse_args()

    with open(a.zip, "rb") as f:
        sha256 = hashlib.sha256(f.read()).hexdigest()
    zip_name = os.path.basename(a.zip)
    if a.version not in zip_name:
        raise SystemExit("manifests: %s does not name version %s" % (zip_name, a.version))
    folder = a.download_url.rstrip("/") + "/"
    url = folder + zip_name
    summaries = readme_summaries(a.readme)
    copyrights = header_strings(a.about_text, COPYRIGHT_DEFINES.values())
    command = os.path.splitext(a.exe)[0].lower()
    # The program keeps its settings beside the exe, named after it.
    ini = os.path.splitext(a.exe)[0] + ".ini"

    # winget: manifests/<first letter>/<publisher>/<name>/<version>/, as in the community repository.
    ident = "%s.%s" % (a.publisher, a.name)
    wdir = os.path.join(a.out, "winget", "manifests", a.publisher[0].lower(), a.publisher, a.name, a.version)

    def winget(kind, suffix, fields):
        doc = {"PackageIdentifier": ident, "PackageVersion": a.version}
        doc.update(fields)
        doc.update({"ManifestType": kind, "ManifestVersion": WINGET_MANIFEST_VERSION})
        schema = "https://aka.ms/winget-manifest.%s.%s.schema.json" % (kind, WINGET_MANIFEST_VERSION)
        write(os.path.join(wdir, ident + suffix + ".yaml"),
              "# yaml-language-server: $schema=%s\n\n%s\n" % (schema, "\n".join(yaml_lines(doc))))

    def locale(kind, loc):
        fields = {"PackageLocale": loc, "Publisher": a.publisher, "PackageName": a.name,
                  "PackageUrl": a.homepage, "License": a.license,
                  "Copyright": copyrights[COPYRIGHT_DEFINES[loc]],
                  "ShortDescription": first_sentence(summaries[loc])}
        if summaries[loc] != fields["ShortDescription"]:
            fields["Description"] = summaries[loc]
        if kind == "defaultLocale":
            fields["Moniker"] = command
        winget(kind, ".locale." + loc, fields)

    winget("version", "", {"DefaultLocale": DEFAULT_LOCALE})
    winget("installer", ".installer", {
        "InstallerType": "zip",
        "NestedInstallerType": "portable",
        "NestedInstallerFiles": [{"RelativeFilePath": a.exe, "PortableCommandAlias": command}],
        "Installers": [{"Architecture": "x86", "InstallerUrl": url, "InstallerSha256": sha256.upper()}],
    })
    for loc in summaries:
        locale("defaultLocale" if loc == DEFAULT_LOCALE else "locale", loc)

    # scoop: the INI is hard-linked from the persist folder, so a first install
    # needs an empty one (a missing persisted file would become a folder).
    zip_pattern = re.escape(zip_name).replace("\\-", "-").replace(re.escape(a.version), "([\\d.]+)")
    scoop = {
        "version": a.version,
        "description": first_sentence(summaries[DEFAULT_LOCALE]),
        "homepage": a.homepage,
        "license": a.license,
        "url": url,
        "hash": sha256,
        "bin": a.exe,
        "shortcuts": [[a.exe, a.name]],
        "persist": ini,
        "pre_install": 'if (!(Test-Path "$persist_dir\\%s")) { New-Item "$dir\\%s" -ItemType File | Out-Null }'
                       % (ini, ini),
        "checkver": {"url": a.homepage, "regex": zip_pattern},
        "autoupdate": {"url": folder + zip_name.replace(a.version, "$version"), "hash": {"url": "$url.sha256"}},
    }
    write(os.path.join(a.out, "scoop", command + ".json"), json.dumps(scoop, ensure_ascii=False, indent=4) + "\n")
    print("manifests: %s (winget), %s (scoop)" % (wdir, os.path.join(a.out, "scoop", command + ".json")))


if __name__ == "__main__":
    main()
