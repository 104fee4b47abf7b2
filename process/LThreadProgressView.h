#pragma once

#include "process/LProgressView.h"

// Makes the view of operations run on the calling thread, ahead of the
// process-wide factory: each worker of a parallel run gets its own view
// while the one the person sees stays with the thread that started them.
// Null goes back to the process-wide factory. Called on the thread itself.
void SetThreadProgressViewFactory(LProgressView::Factory fn);
