select id, name, d, r from t where id = :id order by name
--8<-- next statement --8<--
select count(*), sum(id), max(name) from t group by d having count(*) > 0
--8<-- next statement --8<--
select s.nextval, s.currval from dual
--8<-- next statement --8<--
select nvl(name, 'none') || '-' || to_char(id) from t where name like 'o%' or id in (select id from w)
--8<-- next statement --8<--
select to_date('2024-02-29', 'YYYY-MM-DD') + 1, sysdate - d, add_months(sysdate, 3) from t
--8<-- next statement --8<--
select "ID", "name" from t t1 join w on w.id = t1.id left outer join t t2 on t2.id = t1.id
--8<-- next statement --8<--
select * from (select id, rownum r from t) where r between 1 and 10
--8<-- next statement --8<--
select 1/:n, -:n, :n * 1e300 * 1e300, mod(:n, 0), power(10, 400), 10 / 0 from dual
--8<-- next statement --8<--
insert into t (id, name) values (s.nextval, :s)
--8<-- next statement --8<--
insert into w (id, word, body) values (:n, :a, rpad('x', 5000, 'y'))
--8<-- next statement --8<--
update t set name = upper(name), d = d + 1 where id > :n returning id into :b
--8<-- next statement --8<--
delete from t where rowid in (select rowid from t where id = 2)
--8<-- next statement --8<--
create table z (a number(10,2) not null, b varchar2(4000) default 'q', c char(3), e clob, f blob, g long raw)
--8<-- next statement --8<--
create unique index zi on t (name)
--8<-- next statement --8<--
create view v as select id, name from t where id > 0
--8<-- next statement --8<--
drop table z
--8<-- next statement --8<--
drop sequence s
--8<-- next statement --8<--
create sequence q start with 10 increment by -2
--8<-- next statement --8<--
lock table t in exclusive mode nowait
--8<-- next statement --8<--
begin :n := :n * 2; :s := upper(:s) || '-' || :n; end;
--8<-- next statement --8<--
begin select word, id * 10 into :s, :n from w where id = 7; end;
--8<-- next statement --8<--
begin insert into t (id, name) values (:n, 'blk'); update t set name = 'changed' where id = 1; null; end;
--8<-- next statement --8<--
begin :n := 1 / 0; end;
--8<-- next statement --8<--
begin dbms_session.sleep(0.1); end;
--8<-- next statement --8<--
begin dbms_lock.sleep(:n); end;
--8<-- next statement --8<--
declare
  n number := 0;
  t varchar2(20);
begin
  while n < 10 loop
    n := n + 1;
  end loop;
  for i in 1 .. 3 loop
    insert into t (id, name) values (100 + i, 'loop');
  end loop;
  if n > 5 then :n := n; elsif n = 5 then :n := -n; else :n := null; end if;
exception
  when no_data_found then null;
  when others then raise;
end;
--8<-- next statement --8<--
begin loop null; end loop; end;
--8<-- next statement --8<--
begin
  begin
    select id into :n from t where id = -1;
  exception when no_data_found then :n := -1;
  end;
end;
--8<-- next statement --8<--
create or replace procedure settle (p_id in number, p_name out varchar2, p_total in out number) as
  v_count number;
begin
  select count(*) into v_count from t where id = p_id;
  p_name := 'settled';
  p_total := p_total + v_count;
end settle;
--8<-- next statement --8<--
create procedure bump (amount number default 1) is begin update t set id = id + amount; end;
--8<-- next statement --8<--
create or replace function twice (x in number) return number is begin return x * 2; end twice;
--8<-- next statement --8<--
create or replace package billing as
  procedure settle (p_id in number, p_total out number);
  function rate return number;
end billing;
--8<-- next statement --8<--
create or replace package body billing as
  procedure settle (p_id in number, p_total out number) is
  begin
    p_total := p_id * rate;
  end settle;
  function rate return number is begin return 3; end;
end billing;
--8<-- next statement --8<--
begin settle(:n, :s, :b); billing.settle(1, :n); :a := twice(:n); bump; end;
--8<-- next statement --8<--
drop procedure settle
--8<-- next statement --8<--
drop package billing
--8<-- next statement --8<--
commit
--8<-- next statement --8<--
rollback
