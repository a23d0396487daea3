# SPDX-License-Identifier: MIT
# Debian packages, by purpose. Sourced by ./run and ./test.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libcanberra-dev
    libglib2.0-dev libqt6dbus6 fonts-wine sound-theme-freedesktop xdg-utils)
# The servers among them (ngircd, prosody) are started by the tests themselves, on private
# ports; scripts/ensure-packages leaves their system services off.
TEST_PACKAGES=(xvfb xauth openbox trayer xdotool x11-utils imagemagick desktop-file-utils xclip appstream man-db
    finch dbus tmux qt6-base-private-dev ngircd weechat-headless weechat-plugins hexchat python3
    prosody python3-slixmpp gajim mcabber nheko strace dunst konversation psi)
# A Matrix homeserver for the Matrix test, run from ../shared/third-party on these.
MATRIX_PACKAGES=(python3-venv python3-poetry-core python3-jsonschema python3-frozendict
    python3-unpaddedbase64 python3-canonicaljson python3-signedjson python3-service-identity
    python3-twisted python3-treq python3-openssl python3-yaml python3-pyasn1 python3-pyasn1-modules
    python3-bcrypt python3-pil python3-sortedcontainers python3-pymacaroons python3-msgpack
    python3-phonenumbers python3-prometheus-client python3-attr python3-netaddr python3-jinja2
    python3-bleach python3-typing-extensions python3-cryptography python3-ijson
    python3-matrix-common python3-packaging python3-pydantic)
# Building and checking the Debian packages (scripts/build-deb, tests/package/deb.sh).
PACKAGE_PACKAGES=(dpkg-dev debhelper fakeroot lintian)
