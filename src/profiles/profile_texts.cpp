#include "profiles/profile_texts.h"

#include "base/french_errors.h"

#include <cerrno>

const char *name_problem_message(NameProblem problem)
{
	switch (problem) {
	case NameProblem::none:
		return "";
	case NameProblem::empty:
		return "Le nom ne peut pas être vide.";
	case NameProblem::dot_or_dotdot:
		return "Le nom ne peut pas être « . » ni « .. ».";
	case NameProblem::separator:
		return "Le nom ne peut pas contenir / ni \\.";
	case NameProblem::leading_dot:
		return "Le nom ne peut pas commencer par un point.";
	case NameProblem::too_long:
		return "Le nom est trop long : 49 octets au plus.";
	case NameProblem::control:
		return "Le nom ne peut pas contenir de caractère de contrôle "
		       "(retour à la ligne, tabulation…).";
	case NameProblem::invisible:
		return "Le nom ne peut pas contenir de caractère invisible "
		       "(espace sans largeur, changement du sens d'écriture…).";
	case NameProblem::look_alike:
		return "Un joueur au nom qui s'affiche de la même façon existe déjà.";
	}
	return "";
}

std::string remove_message(const RemoveResult &result)
{
	switch (result.outcome) {
	case RemoveOutcome::removed:
		return {};
	case RemoveOutcome::leftovers:
		if (result.error == EXDEV)
			return "Le joueur a été supprimé, sauf « " + result.leftover +
			       " » : un dossier monté depuis ailleurs (un autre disque ou un "
			       "autre dossier), laissé tel quel pour ne rien effacer hors du "
			       "joueur.";
		return "Le joueur a été supprimé, mais certains fichiers n'ont pas pu être "
		       "effacés : ils restent dans « " +
		       result.leftover + " ».";
	case RemoveOutcome::not_a_directory:
		return "Ce n'est pas un dossier de joueur : il n'a pas été supprimé.";
	case RemoveOutcome::mounted:
		return "Ce joueur est un dossier monté depuis ailleurs (un autre disque ou un "
		       "autre dossier) : il a été laissé tel quel, pour ne rien effacer hors "
		       "des joueurs.";
	case RemoveOutcome::missing:
		return "Ce joueur n'existe plus.";
	case RemoveOutcome::not_allowed:
	case RemoveOutcome::failed:
		break;
	}
	return "Impossible de supprimer ce joueur : " + french_reason(result.error) + ".";
}

std::string player_not_created(int error)
{
	return "Le dossier de ce joueur n'a pas pu être créé : " + french_reason(error) + ".";
}

std::string confirmation_text(const std::string &player)
{
	return "Etes-vous sûr de\nvouloir définitivement\nsupprimer l'utilisateur suivant\n"
	       "et tous ses records ?\n\n" +
	       player;
}

std::string no_player_hint(int error)
{
	if (!error)
		return "Créez un joueur pour commencer : « Nouveau joueur… ».";
	return "Le dossier « profils » ne peut pas être lu : " + french_dir_reason(error) + ".";
}
