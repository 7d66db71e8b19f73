// TSlider's property streaming: what it stores, how it reads it back, the "UserImages" byte.
#include "components/slider.h"

#include <QBuffer>

#include <algorithm>

namespace vardel {
namespace {

const char* const kImageProperties[4] = {"ImageHThumb", "ImageHRuler", "ImageVThumb", "ImageVRuler"};

struct OptionName {
  TSliderOption option;
  const char* name;
};
constexpr OptionName kOptionNames[] = {
    {soShowFocus, "soShowFocus"}, {soShowPoints, "soShowPoints"}, {soSmooth, "soSmooth"}};

[[noreturn]] void badValue() { throw ui::Error(QStringLiteral("Invalid property value")); }

int integerOf(const PropertyValue& v) {
  if (v.type != PropertyValue::Type::Integer) badValue();
  return v.integer;
}

bool booleanOf(const PropertyValue& v) {
  if (v.type != PropertyValue::Type::Boolean) badValue();
  return v.boolean;
}

QByteArray bitmapBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes;
}

}  // namespace

void TSlider::writeProperties(PropertyWriter& writer, const StreamedComponent*) const {
  writer.writeInteger(QStringLiteral("Left"), x());
  writer.writeInteger(QStringLiteral("Top"), y());
  writer.writeInteger(QStringLiteral("Width"), width());
  writer.writeInteger(QStringLiteral("Height"), height());
  if (isHidden()) writer.writeBoolean(QStringLiteral("Visible"), false);
  if (!isEnabled()) writer.writeBoolean(QStringLiteral("Enabled"), false);
  if (!parentColor_) writer.writeInteger(QStringLiteral("Color"), std::int32_t(color_));
  if (!parentColor_) writer.writeBoolean(QStringLiteral("ParentColor"), false);
  if (!tabStop_) writer.writeBoolean(QStringLiteral("TabStop"), false);
  for (int i = 0; i < 4; ++i) {
    if (userImageMask_ & (1u << i)) {
      writer.writeBinary(QString::fromLatin1(kImageProperties[i]), bitmapBytes(images_[size_t(i)]));
    }
  }
  if (edgeSize_ != 2) writer.writeInteger(QStringLiteral("EdgeSize"), edgeSize_);
  writer.writeInteger(QStringLiteral("NumThumbStates"), NumThumbStates());
  if (orientation_ != soHorizontal) writer.writeIdent(QStringLiteral("Orientation"), QStringLiteral("soVertical"));
  QStringList options;
  for (const OptionName& o : kOptionNames) {
    if (options_ & o.option) options << QString::fromLatin1(o.name);
  }
  writer.writeSet(QStringLiteral("Options"), options);
  writer.writeInteger(QStringLiteral("Increment"), increment_);
  writer.writeInteger(QStringLiteral("MinValue"), minValue_);
  writer.writeInteger(QStringLiteral("MaxValue"), maxValue_);
  writer.writeInteger(QStringLiteral("Value"), value_);
}

bool TSlider::readProperty(const QString& name, const PropertyValue& value) {
  // The control base's own properties.
  if (name == QLatin1String("Left")) {
    move(integerOf(value), y());
  } else if (name == QLatin1String("Top")) {
    move(x(), integerOf(value));
  } else if (name == QLatin1String("Width")) {
    resize(integerOf(value), height());
  } else if (name == QLatin1String("Height")) {
    resize(width(), integerOf(value));
  } else if (name == QLatin1String("Visible")) {
    setVisible(booleanOf(value));
  } else if (name == QLatin1String("Enabled")) {
    setEnabled(booleanOf(value));
  } else if (name == QLatin1String("Color")) {
    setColor(ui::Color(integerOf(value)));
  } else if (name == QLatin1String("ParentColor")) {
    setParentColor(booleanOf(value));
  } else if (name == QLatin1String("TabStop")) {
    setTabStop(booleanOf(value));
  } else if (name == QLatin1String("TabOrder")) {
    integerOf(value);  // accepted; the tab order follows the order of creation
  } else if (name == QLatin1String("EdgeSize")) {
    setEdgeSize(integerOf(value));
  } else if (name == QLatin1String("NumThumbStates")) {
    setNumThumbStates(integerOf(value));
  } else if (name == QLatin1String("Orientation")) {
    if (value.type != PropertyValue::Type::Ident) badValue();
    if (value.text == QLatin1String("soHorizontal")) {
      setOrientation(soHorizontal);
    } else if (value.text == QLatin1String("soVertical")) {
      setOrientation(soVertical);
    } else {
      badValue();
    }
  } else if (name == QLatin1String("Options")) {
    if (value.type != PropertyValue::Type::Set) badValue();
    TSliderOptions options = 0;
    for (const QString& member : value.set) {
      const auto* it = std::find_if(std::begin(kOptionNames), std::end(kOptionNames),
                                    [&](const OptionName& o) { return member == QLatin1String(o.name); });
      if (it == std::end(kOptionNames)) badValue();
      options |= it->option;
    }
    setOptions(options);
  } else if (name == QLatin1String("Increment")) {
    setIncrement(integerOf(value));
  } else if (name == QLatin1String("MinValue")) {
    setMinValue(integerOf(value));
  } else if (name == QLatin1String("MaxValue")) {
    setMaxValue(integerOf(value));
  } else if (name == QLatin1String("Value")) {
    setValue(integerOf(value));
  } else {
    for (int i = 0; i < 4; ++i) {
      if (name != QLatin1String(kImageProperties[i])) continue;
      if (value.type != PropertyValue::Type::Binary) badValue();
      const QImage image = QImage::fromData(value.binary, "BMP");
      if (image.isNull()) throw ui::Error(QStringLiteral("Bitmap image is not valid"));
      setImage(i, image.convertToFormat(QImage::Format_RGB32));
      return true;
    }
    return false;
  }
  return true;
}

void TSlider::DefineProperties(Filer& filer, const StreamedComponent* ancestor) {
  const auto* base = dynamic_cast<const TSlider*>(ancestor);
  const bool hasData = base ? userImageMask_ != base->userImageMask_ : userImageMask_ != 0;
  filer.defineBinaryProperty(
      QStringLiteral("UserImages"),
      [this](const QByteArray& bytes) {
        if (bytes.size() != 1) badValue();
        userImageMask_ = std::uint8_t(bytes[0]) & 0x0F;
      },
      [this] { return QByteArray(1, char(userImageMask_)); }, hasData);
}

void TSlider::beginReading() { componentState_ |= csReading | csLoading; }

void TSlider::endReading() { componentState_ &= ~csReading; }

void TSlider::Loaded() {
  componentState_ &= ~csLoading;
  for (int i = 0; i < 4; ++i) {
    if (userImageMask_ & (1u << i)) setImage(i, QImage(images_[size_t(i)]));
  }
  syncLayout();  // a size read from the stream is laid out now
}

}  // namespace vardel
