# SPDX-License-Identifier: MIT
# Debian packages, by purpose. Sourced by ./run and ./test.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libcanberra-dev
    libglib2.0-dev libqt6dbus6 fonts-wine sound-theme-freedesktop xdg-utils)
TEST_PACKAGES=(xvfb xauth openbox trayer xdotool x11-utils imagemagick desktop-file-utils xclip appstream man-db
    finch dbus tmux qt6-base-private-dev ngircd weechat-headless weechat-plugins hexchat python3)
