#pragma once

#include <QString>

namespace vorta::db {
class Database;
}

// What the movement list and window decide without a widget: the delivery state of a
// generated movement and the opening it allows, the save's month checks, and the
// deletion.

// The key of a movement's delivery row, as the generation writes it: registration,
// year, month, type and the code with five digits.
QString ChaveMovimento(const QString& inscricao, int ano, int mes, const QString& tipo, int codigo);

enum class TEstadoEntrega { NaoEncontrada, Pendente, Copiada, Entregue };

// The "ZIR" delivery rows of the key; over several rows, delivered beats copied beats
// pending.
TEstadoEntrega EstadoEntregaMovimento(vorta::db::Database* db, const QString& chave);

// The message the opening of a generated movement shows (1496 to 1499), and whether it
// asks (Yes opens for change) or only informs (read-only).
struct TAberturaMovimento {
    int mensagem = 0;
    bool pergunta = false;
};
TAberturaMovimento DecisaoAbertura(TEstadoEntrega estado);
// Shows the decision's message; true when the movement opens for change.
bool AbreMovimentoGerado(vorta::db::Database* db, const QString& chave);

// The month has its monthly parameters.
bool ExisteParametroMensal(vorta::db::Database* db, int ano, int mes);
// The declarant already has a normal movement for the month.
bool ExisteMovimentoNormal(vorta::db::Database* db, const QString& inscricao, int ano, int mes);
// The declarant has maps dated in the month.
bool ExistemMapasNoMes(vorta::db::Database* db, const QString& inscricao, int ano, int mes);

// Asks 92; on Yes deletes the movement in a transaction unless the declarant has maps
// dated in its month (1664, nothing deleted). Any failure rolls back silently. True
// when the movement was deleted.
bool ExcluiMovimento(vorta::db::Database* db, int codigo, const QString& inscricao, int ano, int mes);
