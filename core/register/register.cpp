#include "core/register/register.h"
