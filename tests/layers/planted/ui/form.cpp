// The window framework reaching up to a component.
#include "ui/form.h"
#include <QtWidgets/QWidget>
#include "components/shape2.h"
