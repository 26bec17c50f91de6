# isolation.py <ctest> <build dir>
# Fails when a test would run on the machine's own configuration or data
# folders, where a lab PC names its class folder.
import json
import subprocess
import sys

PRIVATE = ("XDG_CONFIG_DIRS", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME")

listing = subprocess.run([sys.argv[1], "--show-only=json-v1", "--test-dir", sys.argv[2]],
                         capture_output=True, text=True, check=True).stdout
tests = json.loads(listing)["tests"]
build = sys.argv[2].rstrip("/") + "/"
faults = []
for test in tests:
    env = {}
    for prop in test.get("properties", []):
        if prop["name"] == "ENVIRONMENT":
            env.update(entry.split("=", 1) for entry in prop["value"])
    for var in PRIVATE:
        if not env.get(var, "").startswith(build):
            faults.append("%s: %s is not a folder of the build" % (test["name"], var))
print("\n".join(faults) or "%d tests, each on private folders" % len(tests))
sys.exit(1 if faults else 0)
