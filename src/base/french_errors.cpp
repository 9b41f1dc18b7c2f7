#include "base/french_errors.h"

#include <cerrno>
#include <cstring>

std::string french_reason(int error)
{
	switch (error) {
	case EACCES:
	case EPERM:
		return "accès refusé";
	case EROFS:
		return "le disque est en lecture seule";
	case ENOENT:
		return "fichier ou dossier introuvable";
	case ENOTDIR:
		return "un élément du chemin n'est pas un dossier";
	case EISDIR:
		return "c'est un dossier";
	case ENOEXEC:
		return "ce n'est pas un programme que ce système sait lancer";
	case ELOOP:
		return "trop de liens symboliques en chaîne";
	case ENAMETOOLONG:
		return "nom trop long";
	case ENOMEM:
		return "mémoire insuffisante";
	case ENOSPC:
		return "le disque est plein";
	case EDQUOT:
		return "quota de disque dépassé";
	case EMFILE:
	case ENFILE:
		return "trop de fichiers ouverts";
	case EIO:
		return "erreur de lecture ou d'écriture sur le disque";
	case ETXTBSY:
		return "le fichier est en cours d'écriture par un autre programme";
	case E2BIG:
		return "liste d'arguments trop longue";
	case EAGAIN:
		return "trop de processus en cours";
	case EEXIST:
		return "il existe déjà";
	case ENOTEMPTY:
		return "le dossier n'est pas vide";
	case EBUSY:
		return "la ressource est occupée";
	case EINVAL:
		return "argument non valable";
	}
	const char *name = strerrorname_np(error);
	return name ? std::string("erreur du système ") + name
	            : "erreur du système n° " + std::to_string(error);
}

std::string french_dir_reason(int error)
{
	return error == ENOTDIR ? "ce n'est pas un dossier" : french_reason(error);
}
