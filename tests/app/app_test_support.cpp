#include "tests/app/app_test_support.h"
