// SPDX-License-Identifier: MIT
#pragma once

#include "matrix/MatrixApi.h"

#include <QDeadlineTimer>

namespace bridge {

// Sends the request (HTTPS with the system's certificates) and waits for the answer in an
// event loop of its own, so it may run on any thread that has none; the call is abandoned
// when the deadline passes, and an answer over kMostAnswerBytes is cut off unread. Redirects
// are not followed: they would carry the token to another address.
HttpReply sendRequest(const HttpRequest& request, QDeadlineTimer deadline);

} // namespace bridge
