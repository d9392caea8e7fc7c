#!/usr/bin/env python3
"""A small OAuth 2.0 authorization server for end-to-end tests.

Listens on 127.0.0.1 on a free port and prints "PORT <n>" once it is ready.

  GET  /authorize   approves at once (no login page): redirects to the
                    redirect_uri with a code, remembering the PKCE challenge
  POST /token       authorization_code (checks the PKCE verifier and the
                    redirect_uri) and refresh_token grants
  POST /introspect  RFC 7662 for Dovecot: {"active": ..., "username": ...}
  POST /expire      every access token issued so far runs out
  POST /revoke      every token issued so far is revoked
  GET  /log         one line per request handled, for the test's checks
"""

import base64
import hashlib
import http.server
import json
import secrets
import sys
import threading
import time
import urllib.parse

USER = sys.argv[1] if len(sys.argv) > 1 else "alice"
CLIENT_ID = sys.argv[2] if len(sys.argv) > 2 else "test-client"
LIFETIME = 3600

lock = threading.Lock()
codes = {}    # code -> (challenge, redirect_uri)
access = {}   # token -> expiry time
refresh = set()
log = []


def s256(verifier):
    digest = hashlib.sha256(verifier.encode("ascii")).digest()
    return base64.urlsafe_b64encode(digest).decode("ascii").rstrip("=")


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def reply(self, status, body, headers=None):
        data = json.dumps(body).encode() if isinstance(body, dict) else body.encode()
        self.send_response(status)
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        self.send_header("Content-Type", "application/json" if isinstance(body, dict) else "text/plain")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def form(self):
        length = int(self.headers.get("Content-Length", "0"))
        raw = self.rfile.read(length).decode("ascii", "replace")
        return {k: v[0] for k, v in urllib.parse.parse_qs(raw, keep_blank_values=True).items()}

    def issue(self):
        token = "at-" + secrets.token_urlsafe(16)
        access[token] = time.time() + LIFETIME
        return token

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = {k: v[0] for k, v in urllib.parse.parse_qs(url.query).items()}
        if url.path == "/log":
            with lock:
                self.reply(200, "".join(line + "\n" for line in log))
            return
        if url.path != "/authorize":
            self.reply(404, {"error": "not_found"})
            return
        with lock:
            log.append("authorize " + query.get("code_challenge_method", "-") + " " + query.get("login_hint", "-"))
            if (query.get("client_id") != CLIENT_ID or query.get("response_type") != "code"
                    or query.get("code_challenge_method") != "S256" or not query.get("code_challenge")):
                self.reply(400, {"error": "invalid_request"})
                return
            code = "code-" + secrets.token_urlsafe(8)
            codes[code] = (query["code_challenge"], query.get("redirect_uri", ""))
        target = query["redirect_uri"] + "?" + urllib.parse.urlencode({"code": code, "state": query.get("state", "")})
        self.reply(302, "", {"Location": target})

    def do_POST(self):
        form = self.form()
        with lock:
            if self.path == "/expire":
                for token in access:
                    access[token] = 0
                log.append("expire")
                self.reply(200, {})
                return
            if self.path == "/revoke":
                access.clear()
                refresh.clear()
                log.append("revoke")
                self.reply(200, {})
                return
            if self.path == "/introspect":
                token = form.get("token", "")
                active = access.get(token, 0) > time.time()
                log.append("introspect " + ("active" if active else "inactive"))
                self.reply(200, {"active": True, "username": USER} if active else {"active": False})
                return
            if self.path != "/token":
                self.reply(404, {"error": "not_found"})
                return
            grant = form.get("grant_type")
            log.append("token " + str(grant))
            if form.get("client_id") != CLIENT_ID:
                self.reply(401, {"error": "invalid_client"})
                return
            if grant == "authorization_code":
                entry = codes.pop(form.get("code", ""), None)
                if (entry is None or s256(form.get("code_verifier", "")) != entry[0]
                        or form.get("redirect_uri") != entry[1]):
                    self.reply(400, {"error": "invalid_grant"})
                    return
                new_refresh = "rt-" + secrets.token_urlsafe(16)
                refresh.add(new_refresh)
                self.reply(200, {"access_token": self.issue(), "token_type": "Bearer", "expires_in": LIFETIME,
                                 "refresh_token": new_refresh})
                return
            if grant == "refresh_token" and form.get("refresh_token") in refresh:
                self.reply(200, {"access_token": self.issue(), "token_type": "Bearer", "expires_in": LIFETIME})
                return
            self.reply(400, {"error": "invalid_grant"})


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print("PORT", server.server_address[1], flush=True)
server.serve_forever()
