"""What the page tests share: the run folder served on a free loopback port, and headless Chromium
on SwiftShader driven through WebDriver, its console read back."""

import functools
import http.server
import os
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

CHROMIUM_FLAGS = ["--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                  "--window-size=1920,1080", "--autoplay-policy=no-user-gesture-required"]


class _Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def __init__(self, *args, roots, **kwargs):
        self.roots = roots
        super().__init__(*args, directory=roots[""], **kwargs)

    def translate_path(self, path):
        # /extra/NAME serves the file NAME of the test's own folder (the native frames).
        for prefix, root in self.roots.items():
            if prefix and path.startswith("/" + prefix + "/"):
                return os.path.join(root, os.path.basename(path.split("?")[0]))
        return super().translate_path(path)

    def log_message(self, *args):
        pass


class Server:
    """The run folder on 127.0.0.1 at a port the system picks; `extra` maps /extra/ to a folder."""

    def __init__(self, run_dir, extra=None):
        roots = {"": run_dir}
        if extra:
            roots["extra"] = extra
        handler = functools.partial(_Handler, roots=roots)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.httpd.shutdown()
        self.httpd.server_close()


class Browser:
    """Headless Chromium; console() returns the page's console lines seen since the last call."""

    def __init__(self, extra_flags=()):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in CHROMIUM_FLAGS + list(extra_flags):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.set_script_timeout(60)
        self.seen = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.driver.quit()

    def console(self):
        entries = self.driver.get_log("browser")
        self.seen.extend(entries)
        return entries

    def wait_for_console(self, text, timeout):
        """The first console message holding `text`, waiting up to `timeout` seconds."""
        deadline = time.monotonic() + timeout
        for entry in self.seen:
            if text in entry["message"]:
                return entry["message"]
        while time.monotonic() < deadline:
            for entry in self.console():
                if text in entry["message"]:
                    return entry["message"]
            time.sleep(0.2)
        raise AssertionError("no console line with %r within %d s; seen:\n%s"
                             % (text, timeout, "\n".join(e["message"] for e in self.seen[-20:])))

    def errors(self):
        self.console()
        return [e["message"] for e in self.seen if e["level"] == "SEVERE"]

    def line(self):
        return self.driver.execute_script("return document.getElementById('line').textContent")

    def wait_for_line(self, text, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.line() == text:
                return
            time.sleep(0.1)
        raise AssertionError("the page's line is %r, not %r" % (self.line(), text))
