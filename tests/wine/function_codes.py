"""The button-function codes by the names the suite gives them, read from the
header the programs are built with: kUniversalZoom there is UNIVERSAL_ZOOM
here, kF5 is F5."""

import os
import re

SOURCE = os.environ.get("PTR_SOURCE", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))


def _python_name(name):
    return re.sub(r"(?<=[a-z0-9])(?=[A-Z])", "_", name).upper()


def function_codes():
    """Each code's name and number, as common/function_codes.h defines them."""
    with open(os.path.join(SOURCE, "common", "function_codes.h")) as f:
        return {_python_name(m.group(1)): int(m.group(2))
                for m in re.finditer(r"constexpr int32_t k(\w+) = (\d+);", f.read())}


CODES = function_codes()
globals().update(CODES)
