// Deletes that were confirmed but cut short (the launcher killed while it
// emptied a player) leave their hidden copy in profils: a real directory
// with a hideout's name (hideout.h). This finds them and finishes them in
// slices; nothing else in profils is touched, nor what is mounted in them.
#pragma once

#include <memory>

class CutDeletes {
public:
	CutDeletes();
	~CutDeletes();
	CutDeletes(const CutDeletes &) = delete;
	CutDeletes &operator=(const CutDeletes &) = delete;

	// Goes `budget` steps further, each an entry read or removed or a
	// directory gone into or out of; whether anything is left to do.
	bool step(int budget);

private:
	struct State;
	std::unique_ptr<State> state_;
};
