#include "app/wave_sound.h"

#include <QSoundEffect>
#include <QUrl>

#include "app/file_lookup.h"

namespace murinex {

WaveSound::WaveSound(std::filesystem::path waveDir, QObject* parent)
    : QObject(parent), waveDir_(std::move(waveDir)) {}

WaveSound::~WaveSound() = default;

QSoundEffect* WaveSound::Effect(const std::filesystem::path& file) {
  auto it = effects_.find(file);
  if (it != effects_.end()) return it->second;
  auto* effect = new QSoundEffect(this);
  effect->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
  effects_.emplace(file, effect);
  return effect;
}

void WaveSound::PlayWave(const std::string& name) {
  const std::filesystem::path file = FindFileNoCase(waveDir_, name);
  if (file.empty()) return;
  QSoundEffect* effect = Effect(file);
  if (playing_ && playing_ != effect) playing_->stop();
  playing_ = effect;
  effect->play();  // plays once loaded; errors (no device, bad file) stay silent
}

}  // namespace murinex
