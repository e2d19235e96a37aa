#pragma once

#include <QObject>
#include <filesystem>
#include <map>
#include <string>

#include "model/run.h"

class QSoundEffect;

namespace murinex {

// Plays the wave files of the run's waves folder, asynchronously and one at a
// time: a new sound ends the one still playing, as the simple sound call of
// the desktop does. A missing file or a machine without sound stays silent.
class WaveSound : public QObject, public SoundSink {
  Q_OBJECT

 public:
  explicit WaveSound(std::filesystem::path waveDir, QObject* parent = nullptr);
  ~WaveSound() override;

  void PlayWave(const std::string& name) override;

 private:
  QSoundEffect* Effect(const std::filesystem::path& file);

  std::filesystem::path waveDir_;
  std::map<std::filesystem::path, QSoundEffect*> effects_;
  QSoundEffect* playing_ = nullptr;
};

}  // namespace murinex
