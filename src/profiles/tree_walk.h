// Emptying a directory tree and removing it, one entry at a time, without
// ever leaving the tree however it changes meanwhile, nor going into what
// is mounted in it.
#pragma once

#include "profiles/dir.h"

#include <memory>
#include <string>

// Whether `name` of `dir` ("" for dir itself) lies on the mount `top` lies
// on. A mount point is another mount, a folder bound from the same file
// system too.
bool same_mount(int top, int dir, const char *name);

class TreeRemoval {
public:
	// Works below `parent`, an open directory that outlives the walk.
	explicit TreeRemoval(int parent);
	~TreeRemoval();
	TreeRemoval(const TreeRemoval &) = delete;
	TreeRemoval &operator=(const TreeRemoval &) = delete;

	// Goes on to empty and remove `root`, opened by the caller, which is the
	// entry `name` of the parent.
	void start(Dir root, const std::string &name);
	// One step: an entry read, removed or gone into, or a level done;
	// whether the walk goes on.
	bool step();
	bool done() const;
	// The first failure, 0 while everything went; EXDEV for a mount met
	// inside, which the walk leaves alone, and what holds it with it.
	int error() const;
	// The first mount left alone, relative to the parent; empty for none.
	const std::string &kept() const;

private:
	struct State;
	std::unique_ptr<State> state_;
};
