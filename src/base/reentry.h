// A handler's guard against running inside itself. The interface file may
// bind a handler to a signal that the handler's own work emits (the
// selector's "changed" to one that rebuilds the selector): the nested call
// would start the same work again, and again, until the stack runs out.
#pragma once

class ReentryGuard {
public:
	// `busy` is the handler's own flag, set for as long as the outer call runs.
	explicit ReentryGuard(bool &busy) : busy_(busy), entered_(!busy) { busy_ = true; }
	~ReentryGuard()
	{
		if (entered_)
			busy_ = false;
	}
	ReentryGuard(const ReentryGuard &) = delete;
	ReentryGuard &operator=(const ReentryGuard &) = delete;

	// False in a call made while the handler is already running.
	explicit operator bool() const { return entered_; }

private:
	bool &busy_;
	bool entered_;
};
