// Runs before the show's own JavaScript. The show writes every pixel of every
// frame, so locking the screen need not read the canvas back first.
Module['screenIsReadOnly'] = true;
// Buffers of sound queued ahead of the one playing (see platform/web/main.cpp).
Module['SDL_numSimultaneouslyQueuedBuffers'] = 3;
