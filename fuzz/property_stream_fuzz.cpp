// Fuzz target: the property stream reader must end every input with a value or an error.
#include "components/persistence.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vardel::PropertyReader reader(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
  QString className;
  QString objectName;
  if (!reader.readHeader(className, objectName)) return 0;
  QString name;
  vardel::PropertyValue value;
  int count = 0;
  while (reader.next(name, value)) ++count;
  return count < 0;
}
