#include "platform/qt_option_button.h"
