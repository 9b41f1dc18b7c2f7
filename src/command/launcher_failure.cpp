#include "command/launcher_failure.h"

#include <string_view>

namespace {

// The launcher's two lines, byte for byte, and what makes each.
const std::string_view unreadable = "zelk.glade loading error\n\n";
const std::string_view incomplete = "libglade error : can't get *";
const char *const interface_file = "gtktrovik.glade";

bool starts_with(std::string_view text, std::string_view start)
{
	return text.substr(0, start.size()) == start;
}

// An interface file the player put in place of the shared one is theirs to
// fix; the shared one, only a new install can.
std::string what_to_do(const GameDirPlan &plan)
{
	if (!players_own(plan, interface_file))
		return "Réinstallez le paquet du jeu.";
	return "Retirez « " + plan.game + "/" + interface_file +
	       " », mis à la place de celui du jeu : celui du jeu reviendra au prochain "
	       "démarrage.";
}

} // namespace

std::string launcher_failure(int status, const std::string &output, const GameDirPlan &plan)
{
	std::string what;
	if (status == 1 && output == unreadable)
		what = "manque, ne peut pas être lu ou est abîmé";
	else if (status == 1 && starts_with(output, incomplete))
		what = "est incomplet ou d'une autre version";
	else
		return {};
	return "Trovik ne peut pas démarrer : son fichier d'interface « " +
	       std::string(interface_file) + " » " + what + ". " + what_to_do(plan);
}
