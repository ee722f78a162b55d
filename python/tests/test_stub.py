"""The stub names every function of the extension with the parameters pybind11 gives it.

stubtest (a ctest of its own) checks that the names agree; pybind11's functions carry no
introspectable signature, so the parameters are compared here with the signature line pybind11
writes at the head of each docstring (names, order, keyword-only marker and which have defaults).
"""

import ast
import inspect
from pathlib import Path

import orvmon._orvmon as ext

STUB = Path(ext.__file__).with_name("_orvmon.pyi")


def split_top(text):
    """Splits at commas outside brackets."""
    parts, depth, cur = [], 0, ""
    for c in text:
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
        if c == "," and depth == 0:
            parts.append(cur.strip())
            cur = ""
        else:
            cur += c
    if cur.strip():
        parts.append(cur.strip())
    return parts


def runtime_params(func):
    """[(name, has default)] and '*' from the first signature line of a pybind11 docstring."""
    head = func.__doc__.splitlines()[0]
    inner = head[head.index("(") + 1:head.rindex(") ->")]
    params = []
    for p in split_top(inner):
        if p == "*":
            params.append(("*", False))
        else:
            params.append((p.split(":")[0].strip(), "=" in p))
    return params


def stub_params(node):
    a = node.args
    out = []
    positional = a.posonlyargs + a.args
    defaults = [False] * (len(positional) - len(a.defaults)) + [True] * len(a.defaults)
    out += [(arg.arg, d) for arg, d in zip(positional, defaults)]
    if a.kwonlyargs:
        out.append(("*", False))
        out += [(arg.arg, d is not None) for arg, d in zip(a.kwonlyargs, a.kw_defaults)]
    return out


def stub_functions():
    tree = ast.parse(STUB.read_text())
    for node in tree.body:
        if isinstance(node, ast.FunctionDef):
            yield node.name, None, node
        elif isinstance(node, ast.ClassDef):
            for item in node.body:
                if isinstance(item, ast.FunctionDef):
                    yield item.name, node.name, item


def test_stub_parameters_match_the_extension():
    checked = 0
    for name, cls, node in stub_functions():
        owner = getattr(ext, cls) if cls else ext
        runtime = inspect.getattr_static(owner, name)
        if isinstance(runtime, property):
            continue
        if name in ("__eq__", "__hash__", "__iter__", "__next__", "__len__", "__repr__"):
            continue
        func = getattr(owner, name)
        if name == "__init__" and cls == "Bench":
            func = func.__wrapped__ if hasattr(func, "__wrapped__") else func
        assert runtime_params(func) == stub_params(node), f"{cls}.{name}" if cls else name
        checked += 1
    assert checked >= 25
