"""The package managers' manifests of the release zip, as CPack leaves them
beside it: every file validates against its manager's published schema (copies
in ../shared/schemas beside the clone) and names the zip's own SHA-256."""
import argparse
import glob
import hashlib
import json
import os
import sys
import unittest

import jsonschema
import yaml

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SCHEMAS = os.path.join(REPO, "..", "shared", "schemas")
WINGET_TYPES = {"version", "defaultLocale", "locale", "installer"}

ARGS = None


def validate(doc, schema_path):
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    cls = jsonschema.validators.validator_for(schema)
    cls.check_schema(schema)
    return ["%s: %s" % ("/".join(map(str, e.absolute_path)), e.message)
            for e in cls(schema, format_checker=cls.FORMAT_CHECKER).iter_errors(doc)]


class Manifests(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.isdir(SCHEMAS):
            raise AssertionError(
                "the manifest schemas are missing: expected %s (shared/ beside the clone)" % os.path.normpath(SCHEMAS))
        with open(ARGS.zip, "rb") as f:
            cls.sha256 = hashlib.sha256(f.read()).hexdigest()
        cls.zip_name = os.path.basename(ARGS.zip)

    def test_winget_set(self):
        paths = sorted(glob.glob(os.path.join(ARGS.manifests, "winget", "**", "*.yaml"), recursive=True))
        docs = {}
        for path in paths:
            with open(path, encoding="utf-8") as f:
                doc = yaml.safe_load(f)
            kind, ver = doc.get("ManifestType"), doc.get("ManifestVersion")
            schema = os.path.join(SCHEMAS, "winget-%s" % ver, "manifest.%s.%s.json" % (kind, ver))
            self.assertTrue(os.path.isfile(schema), "%s: no schema %s" % (path, schema))
            self.assertEqual(validate(doc, schema), [], path)
            docs.setdefault(kind, []).append(doc)
        self.assertEqual(set(docs), WINGET_TYPES, paths)
        every = [d for ds in docs.values() for d in ds]
        self.assertEqual({(d["PackageIdentifier"], d["PackageVersion"]) for d in every},
                         {(every[0]["PackageIdentifier"], ARGS.version)})
        self.assertEqual(docs["version"][0]["DefaultLocale"], docs["defaultLocale"][0]["PackageLocale"])
        self.assertEqual([d["PackageLocale"] for d in docs["locale"]], ["zh-CN"])
        (installer,) = docs["installer"][0]["Installers"]
        self.assertEqual(installer["InstallerSha256"].lower(), self.sha256)
        self.assertTrue(installer["InstallerUrl"].endswith("/" + self.zip_name), installer["InstallerUrl"])

    def test_scoop_app(self):
        (path,) = glob.glob(os.path.join(ARGS.manifests, "scoop", "*.json"))
        with open(path, encoding="utf-8") as f:
            doc = json.load(f)
        self.assertEqual(validate(doc, os.path.join(SCHEMAS, "scoop", "schema.json")), [], path)
        self.assertEqual((doc["version"], doc["hash"]), (ARGS.version, self.sha256))
        self.assertTrue(doc["url"].endswith("/" + self.zip_name), doc["url"])
        self.assertIn(doc["persist"], doc["pre_install"])


if __name__ == "__main__":
    ap = argparse.ArgumentParser()
    ap.add_argument("--zip", required=True)
    ap.add_argument("--manifests", required=True)
    ap.add_argument("--version", required=True)
    ARGS, rest = ap.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
