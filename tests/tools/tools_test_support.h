#pragma once

// The tools window's tests drive their dialogs as every window test does.
#include "window_test_support.h"
