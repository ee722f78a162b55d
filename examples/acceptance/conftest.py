"""The example acceptance suite runs on Orvmon's pytest plugin (the `bench` fixture)."""

pytest_plugins = ["orvmon.pytest_plugin"]
