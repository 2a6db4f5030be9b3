#pragma once
// SDL's window and key events as the messages Windows would have queued for them.

#include "platform/window/MessageQueue.h"
#include "platform/window/WindowRegistry.h"

#include <SDL.h>

namespace platform::sdl
{

// Queues nothing for an event no message stands for.
void QueueMessagesFor(const SDL_Event& event, const WindowRegistry& windows, MessageQueue& queue);

} // namespace platform::sdl
